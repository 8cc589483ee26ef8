#pragma once
// The running program's own file, without any toolkit: the front ends find the settings file
// beside it. Paths are UTF-8, so a folder such as "C:\Users\Пётр" comes through whole.

#include <string>
#include <string_view>

namespace app {

// The full path of the running executable, in the platform's own form, or empty when the
// system cannot tell. `invokedAs` (argv[0]) is used only where the system has no direct answer
// (a POSIX system without /proc): it is then resolved as the shell resolved it at start-up, so
// it is right only while the working folder and PATH are still those of the start.
std::string ExecutablePath(std::string_view invokedAs = {});

} // namespace app
