#pragma once
// How a command file's bytes become command lines.

#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The file's lines: a line ends at a CR, a CR LF or a LF alone, so that files
// written on Windows and on Linux both read. A UTF-8 byte order mark at the start
// is no part of the first line; a UTF-16 one (PowerShell's ">", Notepad's
// "Unicode") says the file is UTF-16. The last line needs no line end, and a line end at
// the very end of the file starts no further line. Each line is read as UTF-8, or
// as Windows-1252 when it is not valid UTF-8 (command files written on Windows).
// An empty file has no lines.
std::vector<std::string> CommandFileLines(std::string_view bytes);

}  // namespace quillet
