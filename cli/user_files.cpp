#include "cli/user_files.h"

#include "cli/cli_texts.h"
#include "cli/command_error.h"
#include "cli/csv_output.h"
#include "cli/file_access.h"
#include "cli/file_path.h"
#include "cli/option_table.h"
#include "serial/settings_file_io.h"

#include <filesystem>

namespace cli {
namespace {

[[noreturn]] void Refuse(const char* failureText, const std::string& path,
                         const std::string& reason) {
    throw CommandError(ExitStatus::FileError, FileProblemText(failureText, path, reason));
}

// What is wrong with the thing at `path` as a file to write, if anything.
std::optional<std::string> TargetProblem(const std::string& path) {
    switch (KindOfPath(path)) {
    case PathKind::Missing:
        return std::nullopt;
    case PathKind::Folder:
        return texts::FileIsFolder;
    case PathKind::Device:
        return texts::FileIsDevice;
    case PathKind::File:
        break;
    }
    return WritableFileProblem(path);
}

std::string FolderOf(const std::string& path) {
    const std::filesystem::path folder = PathOf(path).parent_path();
    return folder.empty() ? std::string(".") : Utf8Of(folder);
}

std::string MebibytesText(std::size_t bytes) {
    return std::to_string(bytes / (1024 * 1024)) + " МиБ";
}

} // namespace

std::string FileProblemText(const char* failureText, const std::string& path,
                            const std::string& reason) {
    return failureText + path + ": " + reason;
}

std::string ReadUserTextFile(const std::string& path, std::size_t limit, const char* missingText,
                             const char* unusableText) {
    const serial::detail::FileReadResult file = serial::detail::ReadWholeFile(path, limit);
    // Taken at once: looking at the file below may overwrite the system's error code.
    const std::string systemReason = LastErrorReason();
    if (file.status == serial::detail::FileReadStatus::Missing) {
        throw CommandError(ExitStatus::FileError, missingText + path);
    }
    if (file.status == serial::detail::FileReadStatus::Unreadable) {
        std::error_code error;
        switch (KindOfPath(path)) {
        case PathKind::Folder:
            Refuse(unusableText, path, texts::FileIsFolder);
        case PathKind::Device:
            Refuse(unusableText, path, texts::FileIsDevice);
        default:
            if (std::filesystem::file_size(PathOf(path), error) > limit && !error) {
                Refuse(unusableText, path, texts::FileTooLarge + MebibytesText(limit));
            }
            Refuse(unusableText, path, systemReason);
        }
    }
    if (file.contents.find('\0') != std::string::npos) {
        Refuse(unusableText, path, texts::FileNotText);
    }
    return file.contents;
}

void CheckOutputs(const Options& options) {
    for (const OptionRow* file : FilesWritten(options)) {
        const std::string& path = *(options.*(file->value));
        if (const auto problem = PrepareFolder(FolderOf(path))) {
            Refuse(file->unwritable, path, *problem);
        }
        if (const auto problem = TargetProblem(path)) {
            Refuse(file->unwritable, path, *problem);
        }
    }
    if (options.csv) {
        if (const auto problem = CsvOutput::Problem(*options.csv)) {
            Refuse(texts::CsvUnusable, *options.csv, *problem);
        }
    }
    if (options.record) {
        if (const auto problem = PrepareFolder(*options.record)) {
            Refuse(texts::RecordFolderUnusable, *options.record, *problem);
        }
    }
}

void ReplaceUserFile(const std::string& path, std::string_view contents, const char* failureText) {
    if (const auto problem = TargetProblem(path)) {
        Refuse(failureText, path, *problem);
    }
    if (!serial::detail::ReplaceFileContents(path, contents)) {
        Refuse(failureText, path, LastErrorReason());
    }
}

} // namespace cli
