#pragma once
// The arguments after the program's name, as UTF-8 texts. POSIX systems hand them over as the
// terminal typed them; Windows hands a narrow argv over in its ANSI code page, which loses
// every letter outside it (a Cyrillic operator's name on a Western system), so there they are
// taken from the wide command line. One file per platform.

#include <string>
#include <vector>

namespace cli {

std::vector<std::string> ProgramArguments(int argc, char** argv);

} // namespace cli
