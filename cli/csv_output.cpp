#include "cli/csv_output.h"

#include "cli/cli_texts.h"
#include "cli/file_path.h"

namespace cli {

CsvOutput::CsvOutput(const std::string& path)
    : file_(PathOf(path), std::ios::out | std::ios::trunc | std::ios::binary) {
    if (Usable()) {
        file_ << "\xEF\xBB\xBF";
        Row(texts::TimeHeading, texts::QuantityHeading, texts::ValueHeading);
    }
}

void CsvOutput::Field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == text.npos) {
        file_ << text;
        return;
    }
    file_ << '"';
    for (char c : text) {
        file_ << c;
        if (c == '"') {
            file_ << '"';
        }
    }
    file_ << '"';
}

bool CsvOutput::Row(std::string_view time, std::string_view quantity, std::string_view value) {
    Field(time);
    file_ << ',';
    Field(quantity);
    file_ << ',';
    Field(value);
    file_ << "\r\n";
    file_.flush();
    return file_.good();
}

} // namespace cli
