#include "app/command_line_text.h"

#include <algorithm>

#include "text/tokenizer.h"
#include "text/unicode.h"

namespace quillet {

namespace {

bool needs_quotes(const std::string& argument) {
    return argument.empty() || argument.find_first_of(" \t") != std::string::npos;
}

std::optional<std::string> password_option(const std::string& argument) {
    if (argument.size() < 3 || argument[0] != '/' || argument[2] != '=') return std::nullopt;
    const std::string option = unicode::to_upper(argument.substr(0, 2));
    if (option != "/Z" && option != "/C") return std::nullopt;
    return option;
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
        std::string unquoted(written);
        std::erase(unquoted, '"');
        const auto option = password_option(unquoted);
        if (!option) continue;
        const bool quoted_whole =
            written == '"' + unquoted + '"' || written == unquoted.substr(0, 3) + '"' + unquoted.substr(3) + '"';
        if ((written != unquoted && !quoted_whole) || lib_basConversion::trimmed_blanks(unquoted) != unquoted) {
            return option;
        }
    }
    return std::nullopt;
}

std::optional<std::string> PasswordThatCannotPass(const std::vector<std::string>& arguments) {
    // One argument that is not UTF-8 has the whole line read as Windows-1252.
    const bool line_recoded = std::any_of(arguments.begin(), arguments.end(),
                                          [](const std::string& argument) { return !unicode::is_valid_utf8(argument); });
    for (const std::string& argument : arguments) {
        const auto option = password_option(argument);
        if (!option) continue;
        if (line_recoded && !unicode::is_ascii(argument)) return option;
        if (PasswordThatTheLineChanges(CommandLineText({argument}))) return option;
    }
    return std::nullopt;
}

}  // namespace quillet
