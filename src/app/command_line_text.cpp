#include "app/command_line_text.h"

namespace quillet {

namespace {

bool needs_quotes(const std::string& argument) {
    return argument.empty() || argument.find_first_of(" \t") != std::string::npos;
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

}  // namespace quillet
