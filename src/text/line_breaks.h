#pragma once
// Line breaks as the program meets them: CR LF from its own texts, a lone CR or a
// lone LF from files and users. Each is one break, whatever shows it.

#include <string>
#include <string_view>

namespace quillet {

// The text with every CR LF, lone CR and lone LF replaced by one character.
std::string ReplaceLineBreaks(std::string_view text, char replacement);

// The text without the line ends at its end: the system's wording of a failure
// (which ends in CR LF, as Windows' does) for one line.
std::string WithoutLineEnd(std::string text);

// The text for a terminal or a log: line breaks replaced as above, and every other
// control character but the tab (C0, DEL, C1) and every byte that is not UTF-8
// shown as '?', so that no file name can move the cursor, recolour or erase what
// was written before it.
std::string PlainLines(std::string_view text, char line_break);

}  // namespace quillet
