#include "text/password_masking.h"

#include <string>

#include "text/tokenizer.h"

namespace quillet {

std::optional<std::string_view> password_option_at(std::string_view text, std::size_t position) {
    if (position + 3 > text.size() || text[position] != '/' || text[position + 2] != '=') return std::nullopt;
    switch (text[position + 1]) {
        case 'Z':
        case 'z':
            return "/Z";
        case 'C':
        case 'c':
            return "/C";
        default:
            return std::nullopt;
    }
}

namespace {

constexpr std::string_view kMask = "***";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

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

bool holds_password_option(std::string_view text) {
    for (std::size_t position = 0; position < text.size(); ++position) {
        if (password_option_at(text, position)) return true;
    }
    return false;
}

// The line's parts as the command line's split finds them: blanks and tabs
// outside double quotes part them, and the quotes themselves are dropped, so that
// "/Z"=secret is the option /Z=secret. A part whose quotes break up its option's
// key, where a search of the text cannot see it, is written plainly, quotes left
// out, for the search that follows to mask.
std::string with_broken_up_keys_joined(std::string_view text) {
    std::string joined;
    joined.reserve(text.size());
    std::size_t copied = 0;
    for (const std::string_view written : lib_basConversion::written_parts(text)) {
        const auto start = static_cast<std::size_t>(written.data() - text.data());
        joined.append(text.substr(copied, start - copied));  // the blanks before it
        const std::string unquoted = lib_basConversion::without_quote_marks(written);
        const bool key_broken_up = password_option_at(unquoted, 0) && !holds_password_option(written);
        joined += key_broken_up ? std::string_view(unquoted) : written;
        copied = start + written.size();
    }
    joined.append(text.substr(copied));
    return joined;
}

// The text with every value that follows a literal /Z= or /C= masked.
std::string masked_after_keys(std::string_view text, MaskedText kind) {
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

}  // namespace

std::string MaskPasswords(std::string_view text, MaskedText kind) {
    if (kind == MaskedText::line_part) return masked_after_keys(text, kind);
    return masked_after_keys(with_broken_up_keys_joined(text), kind);
}

}  // namespace quillet
