#include "serial/settings_file.h"

#include "serial/integer_text.h"
#include "serial/settings_file_io.h"

namespace serial {

namespace {

bool HasLineBreakOrZero(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool WritesBack(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view name = TrimBlanks(key);
    return !HasLineBreakOrZero(section) && !HasLineBreakOrZero(key) && !HasLineBreakOrZero(value) &&
           section.find(']') == std::string_view::npos && key.find('=') == std::string_view::npos &&
           !name.empty() && name.front() != '[' && name.front() != ';' && name.front() != '#';
}

} // namespace

ESettingsFileError::ESettingsFileError(const std::string& path)
    : std::runtime_error("Unable to write to " + detail::NativePathText(path)), path_(path) {}

SettingsFile::SettingsFile(std::string path, WriteMode mode) : path_(std::move(path)), mode_(mode) {
    const detail::FileReadResult file = detail::ReadWholeFile(path_, MaxFileSize);
    const std::string_view text =
        file.status == detail::FileReadStatus::Read ? std::string_view(file.contents) : "";
    document_ = SettingsDocument::Parse(text, detail::NativeLineEnding());
}

std::string SettingsFile::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const {
    std::optional<std::string> value = document_.Find(section, key);
    if (!value) {
        return std::string(defaultValue);
    }
    if (value->size() > MaxValueLength) {
        value->resize(MaxValueLength);
    }
    return *value;
}

int SettingsFile::ReadInteger(std::string_view section, std::string_view key,
                              int defaultValue) const {
    const auto value = document_.Find(section, key);
    if (!value) {
        return defaultValue;
    }
    return ParseInteger(std::string_view(*value).substr(0, MaxValueLength)).value_or(defaultValue);
}

SettingsDocument SettingsFile::CurrentDocument() const {
    const detail::FileReadResult file = detail::ReadWholeFile(path_, MaxFileSize);
    if (file.status == detail::FileReadStatus::Unreadable) {
        throw ESettingsFileError(path_);
    }
    return SettingsDocument::Parse(file.contents, detail::NativeLineEnding());
}

void SettingsFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    if (!WritesBack(section, key, value)) {
        throw ESettingsFileError(path_);
    }
    // Start from the file as it is now, not as it was when this object read it, so that a
    // write never undoes a change made to the file in between.
    if (mode_ == WriteMode::Immediate) {
        SettingsDocument document = CurrentDocument();
        document.Set(section, key, value);
        if (!detail::ReplaceFileContents(path_, document.Text())) {
            throw ESettingsFileError(path_);
        }
        document_ = std::move(document);
        return;
    }
    if (!pending_) {
        document_ = CurrentDocument();
    }
    document_.Set(section, key, value);
    pending_ = true;
}

void SettingsFile::Flush() {
    if (!pending_) {
        return;
    }
    if (!detail::ReplaceFileContents(path_, document_.Text())) {
        throw ESettingsFileError(path_);
    }
    pending_ = false;
}

void SettingsFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

} // namespace serial
