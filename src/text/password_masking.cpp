#include "text/password_masking.h"

namespace quillet {

namespace {

constexpr std::string_view kMask = "***";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// "/Z=" or "/C=" in any case at this position.
bool password_option_at(std::string_view text, std::size_t position) {
    if (position + 3 > text.size() || text[position] != '/' || text[position + 2] != '=') return false;
    const char key = text[position + 1];
    return key == 'Z' || key == 'z' || key == 'C' || key == 'c';
}

// Where the value that starts at `start` ends, with the quote state carried
// through it.
std::size_t value_end(std::string_view text, std::size_t start, MaskedText kind, bool& in_quotes) {
    std::size_t end = start;
    for (; end < text.size(); ++end) {
        if (text[end] == '"') {
            in_quotes = !in_quotes;
        } else if (kind == MaskedText::command_line && !in_quotes && is_blank(text[end])) {
            break;
        }
    }
    return end;
}

bool holds_more_than_quotes(std::string_view value) { return value.find_first_not_of('"') != std::string_view::npos; }

}  // namespace

std::string MaskPasswords(std::string_view text, MaskedText kind) {
    std::string masked;
    masked.reserve(text.size());
    bool in_quotes = false;
    std::size_t position = 0;
    while (position < text.size()) {
        if (!password_option_at(text, position)) {
            if (text[position] == '"') in_quotes = !in_quotes;
            masked += text[position++];
            continue;
        }
        masked.append(text.substr(position, 3));
        const std::size_t start = position + 3;
        const bool quoted_before = in_quotes;
        const std::size_t end = value_end(text, start, kind, in_quotes);
        const std::string_view value = text.substr(start, end - start);
        if (holds_more_than_quotes(value)) {
            masked.append(kMask);
            if (in_quotes != quoted_before) masked += '"';
        } else {
            masked.append(value);
        }
        position = end;
    }
    return masked;
}

}  // namespace quillet
