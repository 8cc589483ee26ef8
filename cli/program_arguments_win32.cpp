#include "cli/program_arguments.h"

#include "serial/utf8_win32.h"

#include <windows.h>

#include <shellapi.h>

namespace cli {
std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(serial::detail::NarrowToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

} // namespace cli
