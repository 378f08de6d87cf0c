#pragma once
// The program's one tokenizer: cuts a line into parts at delimiter characters while
// honouring quote pairs. Positions are counted in code points, from 1.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::lib_basConversion {

// Splits strLine into astrLineParts(1), (2), ... and returns the number of parts.
// The upper bound of a parts array is size() - 1; index 0 and the entries above the
// part count are left as they were. paintPartLocs, when given, receives at the same
// index the position of each part's first character.
//
// Up to 50 special characters, looked up in this order (first match wins):
//   class 1, strQuotes: pairs (1st and 2nd character, 3rd and 4th, ...) that enclose
//     literal text; the pair characters are dropped. A pair of two equal characters
//     toggles: its first occurrence opens, the next closes.
//   class 2, strBrackets: pairs like class 1 whose characters stay in the part.
//   class 3, strDelims: end the part in progress and are never part of a part.
//     blnDelimsMod true: a run of delimiters yields no empty parts. False: every
//     delimiter ends a part, empty ones included, so "a,,b" gives a, "", b and
//     "a," gives a, "" (a line of n delimiters has n + 1 parts).
//   class 4, strKeptDelims: blnDelimsMod true: appended to the part in progress,
//     which then ends. False: ends the part in progress and forms a part of its own.
//   class 5, strLineEnds (a NUL is always added): as class 3, with blnLineEndsMod.
//   class 6, strKeptLineEnds: as class 4, with blnLineEndsMod.
//   class 7, strComments: pairs whose stretch, pair characters included, is dropped.
//     blnGroupsMod true: the stretch ends the part in progress as a delimiter does.
//     False: it vanishes and the text on both sides joins.
//   class 8, strGroups: pairs whose stretch, pair characters included, is a part.
//     blnGroupsMod true: the stretch is appended to the part in progress, which
//     then ends. False: it ends the part in progress and forms a part of its own.
// Each pair class must hold an even number of characters.
//
// While a pair is open every other character, delimiters included, is plain text;
// only the open pair's closing character closes it. blnPairsNest true lets opening
// characters of any pair nest inside it, except inside quotes, whose text stays
// literal. blnPairsJoin true: a class 1 or 2 stretch
// joins the text right before and after it into one part; false: its opening and
// closing characters also end the part in progress. blnTrim trims blanks from both
// ends of every stored part. A quote left open at the end of the line ends the last
// part there (empty if nothing followed it).
//
// Raises kLibraryError with source "Base7.lib_GetLineParts3" and the description
// "LineParts array too small", "PartLocs array too small" or "Uneven pair passed"
// (parts already stored stay stored); error 9 for more than 50 special characters;
// error 6 when a count or position leaves the 16-bit range.
std::int16_t lib_GetLineParts3(std::string strLine, std::vector<std::string>& astrLineParts,
                               const std::string& strDelims, const std::string& strKeptDelims,
                               bool blnDelimsMod, const std::string& strLineEnds,
                               const std::string& strKeptLineEnds, bool blnLineEndsMod,
                               const std::string& strComments, const std::string& strGroups,
                               bool blnGroupsMod, const std::string& strQuotes,
                               const std::string& strBrackets, bool blnPairsJoin, bool blnPairsNest,
                               bool blnTrim, std::vector<std::int16_t>* paintPartLocs = nullptr);

// The program's three splits: parts trimmed, double quotes honoured and dropped, a
// quoted stretch joined to the text around it, no empty parts from runs of delimiters.
// At blanks and tabs (a command line).
std::int16_t split_at_blanks(const std::string& strLine, std::vector<std::string>& astrParts);
// At commas (a list of patterns); blanks between two commas give an empty part.
std::int16_t split_at_commas(const std::string& strLine, std::vector<std::string>& astrParts);
// At backslashes (the components of a path).
std::int16_t split_at_backslashes(const std::string& strLine, std::vector<std::string>& astrParts);

// Cuts the token before the first strDelim (found without regard to case) off the
// front of strText, which keeps what follows the delimiter; without one the token
// is the whole text and strText becomes empty. With blnHonourQuotes a delimiter
// inside the first double-quoted stretch is skipped. blnStripQuotes passes the token
// through lib_StripQuotes.
std::string lib_GetToken(std::string& strText, const std::string& strDelim, bool blnHonourQuotes,
                         bool blnStripQuotes);

// The text trimmed of blanks and, when it starts and ends with a double quote (two
// distinct characters), without those two quotes.
std::string lib_StripQuotes(const std::string& strText);
// The same as a view into the text, for callers that only look at it.
std::string_view without_quotes(std::string_view strText);

}  // namespace quillet::lib_basConversion
