#pragma once
// The program's one tokenizer: cuts a line into parts at delimiter characters while
// honouring double quotes. It serves a command line (blanks and tabs), the /E
// patterns (commas) and a path's components (backslashes).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::lib_basConversion {

inline constexpr std::string_view kBlanksAndTabs = " \t";
inline constexpr std::string_view kCommas = ",";
inline constexpr std::string_view kBackslashes = "\\";

// No more parts than this: counts are 16-bit.
inline constexpr std::size_t kMostParts = 32767;

// The parts of the line between its delimiters, each trimmed of blanks. A double
// quote opens or closes a stretch in which delimiters are plain text; the quotes
// are dropped and the stretch joins the text right before and after it, so
// C:\My" Data"\x is one part. A run of delimiters ends one part only: it yields no
// empty ones, but a part of blanks alone is kept, trimmed to empty, and so is a
// quote left open at the end. A NUL outside quotes delimits too.
//
// A line of more than max_parts parts raises kLibraryError "LineParts array too
// small" from "Base7.lib_GetLineParts3", one of more than kMostParts error 6.
// The delimiters must be ASCII characters, as the quote and the blank are: the
// split works on bytes, so UTF-8 text splits as its characters do, and the bytes
// of a native name that is no UTF-8 stay as they are.
std::vector<std::string> split_line(std::string_view line, std::string_view delimiters,
                                    std::size_t max_parts = kMostParts);

// A command line cut where split_line cuts it (at blanks, tabs and NULs outside
// double quotes), each part as written: its quotes kept, nothing trimmed. Views
// into the line.
std::vector<std::string_view> written_parts(std::string_view line);
// A part as written without its double quotes, as the split reads it before it
// trims the blanks at its ends.
std::string without_quote_marks(std::string_view written);

// split_line as the dispatcher and the job call it, on a command line or the /E
// value: text that is not valid UTF-8 is read as Windows-1252, as a command file's
// is. The dispatcher and the job take ten parts at most.
std::vector<std::string> lib_GetLineParts3(std::string_view strLine, std::string_view strDelims,
                                           std::size_t intMaxParts = kMostParts);

// Cuts the token before the first strDelim (found without regard to case) off the
// front of strText, which keeps what follows the delimiter; without one the token
// is the whole text and strText becomes empty. With blnHonourQuotes a delimiter
// inside the first double-quoted stretch is skipped. blnStripQuotes passes the token
// through lib_StripQuotes.
std::string lib_GetToken(std::string& strText, std::string_view strDelim, bool blnHonourQuotes, bool blnStripQuotes);

// The text without the blanks at its ends (tabs stay), as parts are trimmed.
std::string_view trimmed_blanks(std::string_view text);

// The text trimmed of blanks and, when it starts and ends with a double quote (two
// distinct characters), without those two quotes.
std::string lib_StripQuotes(std::string_view strText);
// The same as a view into the text, for callers that only look at it.
std::string_view without_quotes(std::string_view strText);

}  // namespace quillet::lib_basConversion
