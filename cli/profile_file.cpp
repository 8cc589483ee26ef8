#include "cli/profile_file.h"

#include "catalogue/sensor_catalogue.h"
#include "cli/cli_texts.h"
#include "cli/cli_ui_services.h"
#include "cli/command_error.h"
#include "cli/user_files.h"
#include "protocol/number_text.h"
#include "serial/settings_file.h"

#include <cstddef>
#include <exception>

namespace cli {
namespace {

constexpr const char* RangeKey = "RangeIndex";
constexpr const char* UpperKey = "Upper";
constexpr const char* LowerKey = "Lower";
constexpr const char* BreakKey = "BreakPercent";
constexpr const char* OutputKey = "OutputType";
constexpr const char* TypeNameKey = "SensorType";
constexpr const char* RangeTextKey = "SensorRange";

class ProfileReader {
public:
    explicit ProfileReader(const std::string& path) : path_(path), file_(path) {}

    std::string Text(const char* key) const {
        // A value is never this, so it marks a missing key.
        static const std::string Missing(1, '\n');
        const std::string value = file_.ReadString(ProfileSection, key, Missing);
        if (value == Missing) {
            throw CommandError(ExitStatus::InvalidValue, path_ + texts::ProfileNoKey + key);
        }
        return value;
    }

    int Index(const char* key, int last) const {
        const std::string text = Text(key);
        int value = 0;
        bool digits = !text.empty() && text.size() <= 3;
        for (char c : text) {
            digits = digits && c >= '0' && c <= '9';
            value = value * 10 + (c - '0');
        }
        if (!digits || value > last) {
            Refuse(key, text);
        }
        return value;
    }

    std::string Number(const char* key) const {
        const std::string text = WithDecimalPoint(Text(key));
        if (!protocol::ParseNumber(text, '.')) {
            Refuse(key, text);
        }
        return text;
    }

private:
    [[noreturn]] void Refuse(const char* key, const std::string& text) const {
        throw CommandError(ExitStatus::InvalidValue,
                           path_ + texts::ProfileBadKey + key + ": \"" + text + "\"");
    }

    std::string path_;
    serial::SettingsFile file_;
};

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == text.npos ? std::string() : std::string(text.substr(first));
}

} // namespace

ProfileValues LoadProfile(const std::string& path) {
    // The settings file reads a missing or unreadable file as an empty one; a profile that is
    // not there, or cannot be read as text, is a mistake of its own.
    ReadUserTextFile(path, serial::SettingsFile::MaxFileSize, texts::ProfileMissing,
                     texts::ProfileMissing);
    const ProfileReader reader(path);
    ProfileValues values;
    values.rangeIndex = reader.Index(RangeKey, catalogue::SensorRangeCount - 1);
    values.upper = reader.Number(UpperKey);
    values.lower = reader.Number(LowerKey);
    values.breakPercent = reader.Number(BreakKey);
    values.outputType = reader.Index(OutputKey, 2);
    return values;
}

void SaveProfile(const std::string& path, const Configuration& configuration) {
    const auto& range = catalogue::SensorRanges[static_cast<std::size_t>(configuration.rangeIndex)];
    const auto& type = catalogue::SensorTypes[static_cast<std::size_t>(range.TypeIndex)];
    try {
        // All keys go into the file together, or none does.
        serial::SettingsFile file(path, serial::SettingsFile::WriteMode::OnFlush);
        file.WriteInteger(ProfileSection, RangeKey, configuration.rangeIndex);
        file.WriteString(ProfileSection, UpperKey, ValueText(configuration.upper));
        file.WriteString(ProfileSection, LowerKey, ValueText(configuration.lower));
        file.WriteString(ProfileSection, BreakKey, BreakPercentText(configuration));
        file.WriteInteger(ProfileSection, OutputKey, configuration.outputType);
        file.WriteString(ProfileSection, TypeNameKey, type.Name);
        file.WriteString(ProfileSection, RangeTextKey, Trimmed(range.RangeText));
        file.Flush();
    } catch (const std::exception& error) {
        throw CommandError(ExitStatus::FileError,
                           texts::ProfileWriteFailed + path + ":\n" + error.what());
    }
}

} // namespace cli
