#pragma once
// The POSIX way of finding the executable, open to tests: the link that names it (Linux's
// /proc/self/exe), or else the name the program was started by, looked up as a shell does.

#include <string>
#include <string_view>

namespace app::detail {

// The target of `selfLink` when it can be read; otherwise `invokedAs` made absolute: as a path
// when it holds a "/", else the first executable file of that name in the ":"-separated folders
// of `searchPath` (an empty entry is the working folder). Empty when neither names a file.
std::string ResolveExecutablePath(const std::string& selfLink, std::string_view invokedAs,
                                  std::string_view searchPath);

} // namespace app::detail
