#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "serial/settings_document.h"

namespace serial {

// A failed write of a settings file; the file is left as it was before the write. The message
// names the file in the platform's own form; Path() is the path as it was given.
class ESettingsFileError : public std::runtime_error {
public:
    explicit ESettingsFileError(const std::string& path);
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A settings file of "[Section]" and "key=value" lines, opened by path. The file is read once
// when the object is made; every write reads it again, changes one line and puts the whole new
// file in place of the old one, so the old file stays whole if the write fails anywhere.
//
// A missing file reads as a file without keys. A file that exists but cannot be read (no
// permission, not a regular file, a read error, or larger than MaxFileSize) also reads as one
// without keys, as the platform's profile functions do, so that the tool still starts with its
// built-in settings; writing to such a file is refused with ESettingsFileError, because
// writing it from scratch would lose every line that could not be read.
class SettingsFile {
public:
    static constexpr std::size_t MaxValueLength = 2047;
    // Far above any real settings file (the port's keys take well under a kilobyte), and low
    // enough that the costliest file accepted, one of nothing but line ends whose every line is
    // kept, loads in a moment instead of freezing the window and taking memory by the gigabyte.
    static constexpr std::size_t MaxFileSize = 2 * 1024 * 1024;

    enum class WriteMode {
        Immediate, // every write puts a new file in place at once
        OnFlush    // writes collect in memory and Flush puts them in place together
    };

    explicit SettingsFile(std::string path, WriteMode mode = WriteMode::Immediate);

    const std::string& FileName() const { return path_; }

    // The key's value with surrounding blanks removed, at most MaxValueLength characters;
    // `defaultValue` when the section or the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The key's value converted by ParseInteger; `defaultValue` when it is missing or is not
    // an integer.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;

    // Sets the key's value, creating the file and the section when missing. Throws
    // ESettingsFileError when the file cannot be written, and also for a section, key or value
    // that would not read back as written (a line break or zero byte in any of them, "]" in the
    // section, "=" in the key, an empty key, or a key that would read as a section or comment).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);

    // Puts the writes collected in OnFlush mode in place as one new file, so that either all
    // of them or none reach the disk; throws ESettingsFileError when that fails (the writes
    // stay pending). Does nothing when nothing is pending. An object destroyed with pending
    // writes drops them.
    void Flush();

private:
    // The file as it is on the disk now; throws when it exists but cannot be read.
    SettingsDocument CurrentDocument() const;

    std::string path_;
    WriteMode mode_;
    SettingsDocument document_;
    bool pending_ = false;
};

} // namespace serial
