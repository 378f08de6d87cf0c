#include "text/line_breaks.h"

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

namespace {

// In UTF-8 the C1 controls U+0080 to U+009F are C2 80 to C2 9F.
bool starts_c1_control(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 && static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

bool is_control(char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F; }

}  // namespace

std::string PlainLines(std::string_view text, char line_break) {
    std::string result = ReplaceLineBreaks(text, line_break);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        if (starts_c1_control(result, i)) {
            result[kept++] = '?';
            ++i;
        } else {
            const char c = result[i];
            result[kept++] = is_control(c) && c != line_break ? '?' : c;
        }
    }
    result.resize(kept);
    return result;
}

}  // namespace quillet
