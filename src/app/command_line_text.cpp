#include "app/command_line_text.h"

#include <algorithm>

#include "text/password_masking.h"
#include "text/tokenizer.h"
#include "text/unicode.h"

namespace quillet {

namespace {

bool needs_quotes(const std::string& argument) {
    return argument.empty() || argument.find_first_of(" \t") != std::string::npos;
}

// A password as written in its part: the text after the option's "=", and
// whether a quote opened before it is still open there.
struct WrittenValue {
    std::string_view text;
    bool quote_open = false;
};

// value_starts counts the characters of the part without its quotes.
WrittenValue written_value(std::string_view written, std::size_t value_starts) {
    WrittenValue value;
    std::size_t seen = 0;
    std::size_t at = 0;
    for (; at < written.size() && seen < value_starts; ++at) {
        if (written[at] == '"') {
            value.quote_open = !value.quote_open;
        } else {
            ++seen;
        }
    }
    value.text = written.substr(at);
    return value;
}

// Quotes around the whole value, or around the whole part, are the line's syntax;
// one inside the value, blanks the split trims from its end and a NUL that ends
// it for the archiver change it.
bool written_whole(const WrittenValue& written, std::string_view value) {
    if (value.find('\0') != std::string_view::npos) return false;
    const std::string plain(value);
    if (written.quote_open) return written.text == plain || written.text == plain + '"';
    return written.text == plain || written.text == '"' + plain + '"' || written.text == '"' + plain;
}

// A part that a quote left open has run on over the options after it.
bool swallows_a_password(std::string_view part) {
    for (std::size_t at = 1; at < part.size(); ++at) {
        const bool after_a_blank = part[at - 1] == ' ' || part[at - 1] == '\t';
        if (after_a_blank && password_option_at(part, at) == "/Z") return true;
    }
    return false;
}

}  // namespace

std::string CommandLineText(const std::vector<std::string>& arguments) {
    std::string text;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (i > 0) text += ' ';
        if (needs_quotes(argument)) {
            text += '"' + argument + '"';
        } else {
            text += argument;
        }
    }
    return text;
}

std::optional<std::string> PasswordThatTheLineChanges(std::string_view line) {
    for (const std::string_view written : lib_basConversion::written_parts(line)) {
        const std::string unquoted = lib_basConversion::without_quote_marks(written);
        const std::string_view part = lib_basConversion::trimmed_blanks(unquoted);  // what the job reads
        if (password_option_at(part) == "/Z") {
            const std::size_t value_starts = static_cast<std::size_t>(part.data() - unquoted.data()) + 3;
            if (!written_whole(written_value(written, value_starts), part.substr(3))) return "/Z";
        } else if (swallows_a_password(part)) {
            return "/Z";
        }
    }
    return std::nullopt;
}

std::optional<std::string> PasswordThatCannotPass(const std::vector<std::string>& arguments) {
    // One argument that is not UTF-8 has the whole line read as Windows-1252.
    const bool line_recoded = std::any_of(arguments.begin(), arguments.end(),
                                          [](const std::string& argument) { return !unicode::is_valid_utf8(argument); });
    for (const std::string& argument : arguments) {
        // Quoted in the argument itself, it is an option to the line all the same.
        const std::string bare = lib_basConversion::without_quote_marks(argument);
        const auto option = password_option_at(lib_basConversion::trimmed_blanks(bare));
        if (!option) continue;
        if (line_recoded && !unicode::is_ascii(argument)) return std::string(*option);
        const std::vector<std::string> parts =
            lib_basConversion::lib_GetLineParts3(CommandLineText({argument}), lib_basConversion::kBlanksAndTabs);
        if (parts != std::vector<std::string>{argument}) return std::string(*option);
    }
    return std::nullopt;
}

}  // namespace quillet
