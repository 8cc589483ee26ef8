#pragma once
// The files the user names on the command line, as errors of their own: a file that cannot be
// read or written ends the command with exit status 1, its path and the reason, never with a
// quiet fallback; and every file a command will write is checked before the transducer is
// touched, so that a run never configures a unit and then fails to keep what it did.

#include "cli/arguments.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

// The whole of a text file the user named (port settings, a profile). Throws CommandError
// (FileError): `missingText` and the path when there is no such file; otherwise `unusableText`,
// the path and the reason (a folder, a device or pipe, larger than `limit`, no permission, or
// not text at all: a zero byte in it).
std::string ReadUserTextFile(const std::string& path, std::size_t limit, const char* missingText,
                             const char* unusableText);

// Checks every file `options` makes the command write (log, CSV, HTML page, profile, record
// folder): its folder can be made and written, and the file is a regular file that may be
// written, or is not there yet; a CSV that exists holds a series of this program. Throws
// CommandError (FileError) naming the first that cannot be used and why; missing folders are
// made.
void CheckOutputs(const Options& options);

// Puts `contents` in place of the file at `path` whole (a temporary file, then one rename), or
// throws CommandError (FileError) with `failureText`, the path and the reason; the old file
// stays as it was then.
void ReplaceUserFile(const std::string& path, std::string_view contents, const char* failureText);

// "<failureText><path>: <reason>", the form of every such message.
std::string FileProblemText(const char* failureText, const std::string& path,
                            const std::string& reason);

} // namespace cli
