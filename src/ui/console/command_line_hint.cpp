#include "ui/console/command_line_hint.h"

#include <algorithm>
#include <cctype>

#include "text/password_masking.h"

namespace quillet {

namespace {

constexpr const char* kExample = "'Z:\\home\\ann\\Data\\*.*'";

// "/home/ann/Data/*.*", but not an option such as "/C=wrkgrp/user/pwd".
bool is_linux_path(const std::string& argument) {
    if (!argument.starts_with('/')) return false;
    const std::string before_value = argument.substr(0, argument.find('='));
    return before_value.find('/', 1) != std::string::npos;
}

// "Z:homeannData*.*": a drive, then no backslash anywhere.
bool lost_its_backslashes(const std::string& argument) {
    return argument.size() > 2 && std::isalpha(static_cast<unsigned char>(argument[0])) && argument[1] == ':' &&
           argument.find('\\') == std::string::npos;
}

std::string as_path_text(const std::string& linux_path) {
    std::string text = "Z:" + linux_path;
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

}  // namespace

std::optional<std::string> CommandLineHint(const std::vector<std::string>& arguments) {
    // The source and the target; a Linux target makes the line a command file.
    const std::size_t paths = std::min<std::size_t>(arguments.size(), 2);
    for (std::size_t i = 0; i < paths; ++i) {
        if (is_linux_path(arguments[i])) {
            // An argument that runs on over the options shows no password.
            const std::string shown = MaskPasswords(arguments[i], MaskedText::line_part);
            return "Hint: paths are written the Windows way, drive Z: being the root of the file system: write " +
                   shown + " as '" + as_path_text(shown) + "', in single quotes.";
        }
    }
    for (std::size_t i = 0; i < paths; ++i) {
        if (lost_its_backslashes(arguments[i])) {
            return "Hint: the shell took the backslashes out of " + MaskPasswords(arguments[i], MaskedText::line_part) +
                   ": put each path in single quotes, as in " + kExample + ".";
        }
    }
    return std::nullopt;
}

}  // namespace quillet
