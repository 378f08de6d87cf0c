// The C runtime's rules for reading arguments back: blanks and tabs separate them
// outside double quotes; backslashes are plain except before a double quote,
// where each pair stands for one backslash and an odd one out makes the quote
// plain text. So an argument is quoted only when it needs to be (empty, or
// holding a blank, a tab, a line end or a quote), its quotes are escaped, and the
// backslashes before an escaped quote or before the closing quote are doubled.

#include "platform/win32/command_line.h"

namespace quillet::platform::win32 {

namespace {

bool needs_quotes(std::wstring_view argument) {
    return argument.empty() || argument.find_first_of(L" \t\n\v\"") != std::wstring_view::npos;
}

void append_argument(std::wstring& line, std::wstring_view argument) {
    if (!needs_quotes(argument)) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    // The closing quote must not be escaped by the argument's own last backslashes.
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

}  // namespace

std::wstring quoted_command_line(std::wstring_view program, const std::vector<std::wstring>& arguments) {
    std::wstring line = L"\"";
    line += program;
    line += L'"';
    for (const std::wstring& argument : arguments) {
        line += L' ';
        append_argument(line, argument);
    }
    return line;
}

}  // namespace quillet::platform::win32
