#pragma once
// The names of temporary files and folders: the first three characters of a
// prefix, up to four hexadecimal digits, and ".tmp" for files.

#include <cstdio>
#include <functional>
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

// The numbers a name may end in, in hexadecimal: 1 to FFFF.
inline constexpr unsigned kHighestTempNumber = 0xFFFF;

enum class Claim { made, taken, failed };

// Tries the name start followed by each number in turn, from `first` on and round,
// until `claim` makes one; the name claimed, or empty: when a claim failed (its
// reason as the claim left it) or when every name was taken (`every_name_taken`).
inline std::string claim_free_temp_name(const std::string& name_start, unsigned first,
                                        const std::function<Claim(const std::string& name)>& claim,
                                        bool& every_name_taken) {
    every_name_taken = false;
    for (unsigned step = 0; step < kHighestTempNumber; ++step) {
        const unsigned number = (first - 1 + step) % kHighestTempNumber + 1;
        char digits[8];
        std::snprintf(digits, sizeof digits, "%X", number);
        std::string name = name_start + digits;
        switch (claim(name)) {
            case Claim::made:
                return name;
            case Claim::taken:
                continue;
            case Claim::failed:
                return {};
        }
    }
    every_name_taken = true;
    return {};
}

}  // namespace quillet::platform
