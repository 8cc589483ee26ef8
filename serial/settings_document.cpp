#include "serial/settings_document.h"

#include <algorithm>

namespace serial {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names match without regard to ASCII letter case: the index holds them upper-cased.
std::string IndexName(std::string_view name) {
    std::string upper(name);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
    return upper;
}

// The name of a "[name]" line, or nothing for any other line. A missing "]" lets the name run
// to the end of the line, as the platform's own profile functions read it.
std::optional<std::string_view> SectionName(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[') {
        return std::nullopt;
    }
    std::string_view name = trimmed.substr(1);
    name = name.substr(0, name.find(']'));
    return Trim(name);
}

bool IsComment(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    return !trimmed.empty() && (trimmed.front() == ';' || trimmed.front() == '#');
}

// The key name of a "key=value" line, or nothing for a line that holds no key.
std::optional<std::string_view> KeyName(std::string_view line) {
    if (SectionName(line) || IsComment(line)) {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Trim(line.substr(0, equals));
}

} // namespace

SettingsDocument SettingsDocument::Parse(std::string_view text, std::string_view newLineEnding) {
    SettingsDocument document;
    document.fallbackEnding_ = std::string(newLineEnding);
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        document.prefix_ = std::string(kByteOrderMark);
        text.remove_prefix(kByteOrderMark.size());
    }
    // One line a line end, and one more after the last: reserved at once, since growing the
    // list of a file of nothing but line ends would move every line again at each growth.
    document.lines_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                            1);
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        Line line;
        if (lf == std::string_view::npos) {
            line.text = std::string(text);
            text = {};
        } else {
            const bool crlf = lf > 0 && text[lf - 1] == '\r';
            line.text = std::string(text.substr(0, crlf ? lf - 1 : lf));
            line.ending = crlf ? "\r\n" : "\n";
            text.remove_prefix(lf + 1);
        }
        document.lines_.push_back(std::move(line));
    }
    document.Index();
    return document;
}

void SettingsDocument::Index() {
    sections_.clear();
    sectionByName_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (const auto name = SectionName(lines_[i].text)) {
            sectionByName_.emplace(IndexName(*name), sections_.size());
            sections_.push_back(Section{i, {}});
        } else if (const auto key = KeyName(lines_[i].text); key && !sections_.empty()) {
            // Keys before the first section belong to none; the first of a name counts.
            sections_.back().keys.emplace(IndexName(*key), i);
        }
    }
}

std::optional<std::size_t> SettingsDocument::FindSection(std::string_view section) const {
    const auto found = sectionByName_.find(IndexName(Trim(section)));
    if (found == sectionByName_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::size_t SettingsDocument::SectionEnd(std::size_t section) const {
    return section + 1 < sections_.size() ? sections_[section + 1].header : lines_.size();
}

std::optional<std::size_t> SettingsDocument::FindKey(std::size_t section,
                                                     std::string_view key) const {
    const auto& keys = sections_[section].keys;
    const auto found = keys.find(IndexName(Trim(key)));
    if (found == keys.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> SettingsDocument::Find(std::string_view section,
                                                  std::string_view key) const {
    const auto found = FindSection(section);
    if (!found) {
        return std::nullopt;
    }
    const auto index = FindKey(*found, key);
    if (!index) {
        return std::nullopt;
    }
    const std::string_view line = lines_[*index].text;
    return std::string(Trim(line.substr(line.find('=') + 1)));
}

std::string SettingsDocument::NewLineEnding() const {
    for (const Line& line : lines_) {
        if (!line.ending.empty()) {
            return line.ending;
        }
    }
    return fallbackEnding_;
}

void SettingsDocument::InsertLine(std::size_t index, std::string text) {
    const std::string ending = NewLineEnding();
    // A last line without a line ending gets one, so that the new line starts a line of its own.
    // If its text ends in CR, a bare LF would read back as a CR LF ending and take that CR out
    // of the text, so such a line gets CR LF.
    if (index == lines_.size() && !lines_.empty() && lines_.back().ending.empty()) {
        const std::string& last = lines_.back().text;
        lines_.back().ending = !last.empty() && last.back() == '\r' ? "\r\n" : ending;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                  Line{std::move(text), ending});
    // Writes are few and each one rewrites the whole file anyway.
    Index();
}

void SettingsDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string keyLine = std::string(Trim(key)) + "=" + std::string(value);
    const auto found = FindSection(section);
    if (!found) {
        InsertLine(lines_.size(), "[" + std::string(Trim(section)) + "]");
        InsertLine(lines_.size(), keyLine);
        return;
    }
    if (const auto index = FindKey(*found, key)) {
        // Keep the line's own spelling of the key and its blanks around "=".
        std::string& text = lines_[*index].text;
        std::size_t valueStart = text.find('=') + 1;
        while (valueStart < text.size() && IsBlank(text[valueStart])) {
            ++valueStart;
        }
        text = text.substr(0, valueStart) + std::string(value);
        return;
    }
    const std::size_t header = sections_[*found].header;
    std::size_t last = header;
    const std::size_t end = SectionEnd(*found);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (!Trim(lines_[i].text).empty()) {
            last = i;
        }
    }
    InsertLine(last + 1, keyLine);
}

std::string SettingsDocument::Text() const {
    std::string text = prefix_;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.ending;
    }
    return text;
}

} // namespace serial
