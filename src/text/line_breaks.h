#pragma once
// Line breaks as the program meets them: CR LF from its own texts, a lone CR or a
// lone LF from files and users. Each is one break, whatever shows it.

#include <string>
#include <string_view>

namespace quillet {

// The text with every CR LF, lone CR and lone LF replaced by one character.
std::string ReplaceLineBreaks(std::string_view text, char replacement);

}  // namespace quillet
