#pragma once
// The measured values of temp --csv: a UTF-8 file with a byte-order mark (so that a
// spreadsheet on Windows reads the Russian heading right), fields separated by commas, numbers
// with a point, one row per reading, written through at once so an interrupted series keeps
// its rows.

#include <fstream>
#include <string>
#include <string_view>

namespace cli {

class CsvOutput {
public:
    // Creates or replaces the file; Usable() tells whether that worked.
    explicit CsvOutput(const std::string& path);
    bool Usable() const { return file_.is_open() && file_.good(); }
    // Returns false when the row could not be written.
    bool Row(std::string_view time, std::string_view quantity, std::string_view value);

private:
    void Field(std::string_view text);

    std::ofstream file_;
};

} // namespace cli
