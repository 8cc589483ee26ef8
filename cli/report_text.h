#pragma once
// What the commands print for people: the configuration as the window's fields name it, the
// differences a verification found, a measured value with its time.

#include "cli/configuration.h"

#include <string>
#include <vector>

namespace cli {

std::string ConfigurationReport(const Configuration& configuration);
std::string DifferencesReport(const std::vector<Difference>& differences);
// The same in one line: "Тип выхода: записано 1 (0 - 5 mA), считано 0 (0 - 10 В); ...".
std::string DifferencesInOneLine(const std::vector<Difference>& differences);
// Pads `text` with blanks to `width` characters (not bytes: Cyrillic takes two bytes a letter).
std::string Padded(const std::string& text, std::size_t width);

} // namespace cli
