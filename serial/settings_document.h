#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace serial {

// The text of a settings file as a list of lines: "[Section]" lines open sections, "key=value"
// lines inside a section hold keys, and every other line (comments, blank lines, anything
// else) is carried along untouched. Each line keeps its own line ending, so a file written
// back differs from the one read only in the line that was changed or added. An index of the
// sections and their keys, made once per text, lets a lookup go straight to its line: reading
// every key of a large file costs one pass over it, not one pass per key.
class SettingsDocument {
public:
    // Splits a file's bytes into lines; never fails (a text without "[...]" lines has no
    // sections). A leading UTF-8 byte-order mark is kept but not taken as part of a name.
    static SettingsDocument Parse(std::string_view text, std::string_view newLineEnding);

    // The trimmed value of the first key of that name in the first section of that name
    // (names compared without regard to ASCII letter case), or nothing when either is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Replaces the value of the key, or adds "key=value" after the last non-blank line of the
    // section, or appends the section with the key at the end of the text.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;

private:
    struct Line {
        std::string text;   // without its line ending
        std::string ending; // "\r\n", "\n", or empty for a last line without one
    };

    struct Section {
        std::size_t header; // the line of "[name]"
        // The upper-cased name of each key to the line of its first "key=value" in the section.
        std::unordered_map<std::string, std::size_t> keys;
    };

    // Makes the index from the lines; run again whenever a line is inserted.
    void Index();
    // The position in sections_ of the first section of that name.
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(std::size_t section, std::string_view key) const;
    // The line after the section's last: the next section's header or the end of the text.
    std::size_t SectionEnd(std::size_t section) const;
    std::string NewLineEnding() const;
    void InsertLine(std::size_t index, std::string text);

    std::string prefix_; // byte-order mark, if the file began with one
    std::vector<Line> lines_;
    std::string fallbackEnding_;
    std::vector<Section> sections_; // in the order of the text
    // The upper-cased name of each section to its first place in sections_.
    std::unordered_map<std::string, std::size_t> sectionByName_;
};

} // namespace serial
