#pragma once
// Names of the files lirat5-cli makes from a port or a unit: the per-port files of a run over
// several ports and the records' files.

#include <string>
#include <string_view>

namespace cli {

// A port or unit name as a part of a file name: "/dev/" and "\\.\" dropped, the name's own
// letters kept (Cyrillic too), and only what a file system refuses turned into "_": the
// characters Windows forbids (\ / : * ? " < > |, which also keeps the name the same on both
// systems, so a records folder can move between them) and control characters. Bytes that are
// not UTF-8 become U+FFFD.
std::string FileNamePart(std::string_view name);

// The file a port of a run over several writes instead of `path`: the port's name before the
// extension ("t.csv" on COM3 is "t-COM3.csv"; on /dev/ttyUSB0 "t-ttyUSB0.csv").
std::string PortFileName(const std::string& path, const std::string& port);

// The name of a record's files without the extension (".json" or ".html", which are as long):
// "<unit>_<stamp>_<kind>", with "_<attempt>" from the second attempt on, when the name was
// taken. A unit too long for the file system's limit on a name is cut at the end of a letter
// and marked with "~" and a check code of its whole name, so that two long units that begin
// alike still get names of their own.
std::string RecordStem(std::string_view unitPart, std::string_view stamp, std::string_view kind,
                       int attempt);

} // namespace cli
