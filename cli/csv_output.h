#pragma once
// The measured values of temp --csv: a UTF-8 file with a byte-order mark (so that a
// spreadsheet on Windows reads the Russian heading right), fields separated by commas, numbers
// with a point, one row per reading. Every series of a file goes under its one heading: a file
// that exists gets the new rows after its own, and a new file appears with its heading and
// first row at once (written beside it, then renamed into place). A run that reads nothing
// therefore leaves an existing file as it was and makes none, and each row is written through
// at once, in one write, so a series that is stopped keeps the rows it has.

#include "cli/file_access.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace cli {

class CsvOutput {
public:
    explicit CsvOutput(std::string path) : path_(std::move(path)) {}

    // The byte-order mark and the heading line every series file starts with.
    static std::string Heading();
    // Why the file at `path` cannot take a series (one that exists but starts with another
    // heading is someone else's table); nothing when it can.
    static std::optional<std::string> Problem(const std::string& path);

    // Appends one row; the reason when it could not be written.
    std::optional<std::string> Row(std::string_view time, std::string_view quantity,
                                   std::string_view value);

private:
    std::string path_;
    std::unique_ptr<AppendFile> file_;
};

} // namespace cli
