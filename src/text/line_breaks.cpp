#include "text/line_breaks.h"

#include "text/unicode.h"

namespace quillet {

std::string ReplaceLineBreaks(std::string_view text, char replacement) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        result += (c == '\r' || c == '\n') ? replacement : c;
    }
    return result;
}

std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

namespace {

// C0 but the tab, DEL, and C1 (U+0080 to U+009F).
bool is_control(char32_t c) { return (c < 0x20 && c != '\t') || (c >= 0x7F && c <= 0x9F); }

}  // namespace

std::string PlainLines(std::string_view text, char line_break) {
    const std::string lines = ReplaceLineBreaks(text, line_break);
    std::string result;
    result.reserve(lines.size());
    for (std::size_t at = 0; at < lines.size();) {
        char32_t c = 0;
        const std::size_t size = unicode::sequence_at(lines, at, c);
        // A byte that is not UTF-8 may be a control character to the terminal.
        if (size == 0 || (is_control(c) && c != static_cast<char32_t>(line_break))) {
            result += '?';
            at += size == 0 ? 1 : size;
        } else {
            result.append(lines, at, size);
            at += size;
        }
    }
    return result;
}

}  // namespace quillet
