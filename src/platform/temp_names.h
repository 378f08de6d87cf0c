#pragma once
// The names of temporary files and folders: the first three characters of a
// prefix, up to four hexadecimal digits, and ".tmp" for files.

#include <string>
#include <string_view>

#include "text/unicode.h"

namespace quillet::platform {

inline constexpr std::string_view kTempExtension = ".tmp";

inline std::string first_three_characters(std::string_view prefix) {
    std::u32string characters = unicode::decode(prefix);
    if (characters.size() > 3) characters.resize(3);
    return unicode::encode(characters);
}

// Whether a name is the name start followed by one to four hexadecimal digits.
inline bool is_temp_name(std::string_view name, std::string_view name_start) {
    if (!name.starts_with(name_start)) return false;
    const std::string_view digits = name.substr(name_start.size());
    if (digits.empty() || digits.size() > 4) return false;
    return digits.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

}  // namespace quillet::platform
