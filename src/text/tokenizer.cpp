#include "text/tokenizer.h"

#include "text/error.h"
#include "text/unicode.h"
#include "text/vb_errors.h"

namespace quillet::lib_basConversion {

namespace {

constexpr const char* kSource = "Base7.lib_GetLineParts3";

bool is_line_delimiter(char c) { return c == ' ' || c == '\t' || c == '\0'; }

}  // namespace

std::string_view trimmed_blanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::vector<std::string> split_line(std::string_view line, std::string_view delimiters, std::size_t max_parts) {
    std::vector<std::string> parts;
    std::string part;
    bool in_part = false;  // a character was taken since the last part ended
    bool quoted = false;
    const auto end_part = [&] {
        if (parts.size() == kMostParts) throw vb::error(vb::kOverflow, kSource);
        if (parts.size() == max_parts) throw Error(kLibraryError, kSource, "LineParts array too small");
        parts.emplace_back(trimmed_blanks(part));
        part.clear();
        in_part = false;
    };
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\0' || delimiters.find(c) != std::string_view::npos)) {
            if (in_part) end_part();
        } else {
            part += c;
            in_part = true;
        }
    }
    if (in_part || quoted) end_part();
    return parts;
}

std::vector<std::string_view> written_parts(std::string_view line) {
    std::vector<std::string_view> parts;
    std::size_t position = 0;
    while (position < line.size()) {
        if (is_line_delimiter(line[position])) {
            ++position;
            continue;
        }
        const std::size_t start = position;
        for (bool quoted = false; position < line.size(); ++position) {
            if (line[position] == '"') quoted = !quoted;
            if (!quoted && is_line_delimiter(line[position])) break;
        }
        parts.push_back(line.substr(start, position - start));
    }
    return parts;
}

std::string without_quote_marks(std::string_view written) {
    std::string unquoted(written);
    std::erase(unquoted, '"');
    return unquoted;
}

std::vector<std::string> lib_GetLineParts3(std::string_view strLine, std::string_view strDelims,
                                           std::size_t intMaxParts) {
    if (unicode::is_valid_utf8(strLine)) return split_line(strLine, strDelims, intMaxParts);
    return split_line(unicode::from_windows_1252_unless_utf8(strLine), strDelims, intMaxParts);
}

std::string lib_GetToken(std::string& strText, std::string_view strDelim, bool blnHonourQuotes, bool blnStripQuotes) {
    const std::u32string text = unicode::decode(strText);
    const std::u32string delimiter = unicode::decode(strDelim);
    const std::u32string text_upper = unicode::to_upper(text);
    const std::u32string delimiter_upper = unicode::to_upper(delimiter);

    std::size_t delimiter_at = text_upper.find(delimiter_upper);
    const std::size_t quote_at = blnHonourQuotes ? text.find(U'"') : std::u32string::npos;
    if (quote_at != std::u32string::npos && delimiter_at != std::u32string::npos && quote_at < delimiter_at) {
        const std::size_t closing_at = text.find(U'"', quote_at + 1);
        if (closing_at != std::u32string::npos) delimiter_at = text_upper.find(delimiter_upper, closing_at + 1);
    }

    std::string token;
    if (delimiter_at != std::u32string::npos) {
        token = unicode::encode(text.substr(0, delimiter_at));
        strText = unicode::encode(text.substr(delimiter_at + delimiter.size()));
    } else {
        token = strText;
        strText.clear();
    }
    return blnStripQuotes ? lib_StripQuotes(token) : token;
}

std::string_view without_quotes(std::string_view strText) {
    std::string_view text = trimmed_blanks(strText);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

std::string lib_StripQuotes(std::string_view strText) { return std::string(without_quotes(strText)); }

}  // namespace quillet::lib_basConversion
