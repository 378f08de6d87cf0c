#pragma once
// Command line text as messages, reports and logs may quote it: the passwords of
// /Z= and /C= never show. Whatever the quoting, the value of every such option
// reads "***"; the text around it stays as written.

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

enum class MaskedText {
    // A whole line as typed: a value ends at a blank or a tab outside double
    // quotes, or runs to the end when a quote is left open.
    command_line,
    // One part of a split line (a command file's path, say): its blanks were
    // inside quotes, so a value runs to the end of the part.
    line_part,
};

// The text with every /Z= and /C= value (any case) replaced by "***". An empty
// value is no password and stays empty. Quote characters that a value opened or
// closed are kept, so that the masked line quotes as the line did.
std::string MaskPasswords(std::string_view text, MaskedText kind = MaskedText::command_line);

// "/Z" or "/C" when that option's key ("/Z=" or "/C=", any case) stands at the position.
std::optional<std::string_view> password_option_at(std::string_view text, std::size_t position = 0);

}  // namespace quillet
