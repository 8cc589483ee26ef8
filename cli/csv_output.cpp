#include "cli/csv_output.h"

#include "cli/cli_texts.h"
#include "cli/file_path.h"
#include "serial/settings_file_io.h"

#include <filesystem>
#include <fstream>

namespace cli {
namespace {

void Field(std::string& row, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == text.npos) {
        row += text;
        return;
    }
    row += '"';
    for (char c : text) {
        row += c;
        if (c == '"') {
            row += '"';
        }
    }
    row += '"';
}

std::string RowText(std::string_view time, std::string_view quantity, std::string_view value) {
    std::string row;
    Field(row, time);
    row += ',';
    Field(row, quantity);
    row += ',';
    Field(row, value);
    return row + "\r\n";
}

// The first `count` bytes of the file and its last byte ('\n' for an empty file).
std::pair<std::string, char> HeadAndLastByte(const std::string& path, std::size_t count) {
    std::ifstream in(PathOf(path), std::ios::binary);
    std::string head(count, '\0');
    in.read(head.data(), static_cast<std::streamsize>(count));
    head.resize(static_cast<std::size_t>(in.gcount()));
    in.clear();
    char last = '\n';
    if (in.seekg(-1, std::ios::end)) {
        in.get(last);
    }
    return {head, last};
}

} // namespace

std::string CsvOutput::Heading() {
    return "\xEF\xBB\xBF" +
           RowText(texts::TimeHeading, texts::QuantityHeading, texts::ValueHeading);
}

std::optional<std::string> CsvOutput::Problem(const std::string& path) {
    if (KindOfPath(path) != PathKind::File) {
        return std::nullopt;
    }
    const std::string head = HeadAndLastByte(path, Heading().size()).first;
    if (head.empty() || head == Heading()) {
        return std::nullopt;
    }
    return texts::CsvForeign;
}

std::optional<std::string> CsvOutput::Row(std::string_view time, std::string_view quantity,
                                          std::string_view value) {
    const std::string row = RowText(time, quantity, value);
    if (!file_) {
        std::error_code error;
        const bool empty = KindOfPath(path_) == PathKind::File &&
                           std::filesystem::file_size(PathOf(path_), error) == 0 && !error;
        // The first row brings the heading with it, so a new file is never seen without its
        // rows; a name taken meanwhile by another series is appended to instead.
        if (empty ? serial::detail::ReplaceFileContents(path_, Heading() + row)
                  : serial::detail::CreateFileContents(path_, Heading() + row)) {
            file_ = std::make_unique<AppendFile>(path_);
            return file_->Problem();
        }
        if (empty || !LastErrorWasNameTaken()) {
            return LastErrorReason();
        }
        if (const auto problem = Problem(path_)) {
            return problem;
        }
        // A series stopped in the middle of a row left it unended: the new rows start on a line
        // of their own.
        const bool ended = HeadAndLastByte(path_, 0).second == '\n';
        file_ = std::make_unique<AppendFile>(path_);
        if (!ended) {
            file_->Append("\r\n");
        }
    }
    file_->Append(row);
    return file_->Problem();
}

} // namespace cli
