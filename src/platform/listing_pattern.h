#pragma once
// The pattern a folder listing matches names with, on every host: wildcards as
// the system's own listings take them, case ignored.

#include <string>
#include <string_view>

#include "text/wildcard.h"

namespace quillet::platform {

// "*.*" asks for every name, with or without a dot, as it always has on Windows.
inline WildcardPattern listing_pattern(std::string_view pattern) {
    std::string every_name(pattern);
    for (std::size_t at = every_name.find("*.*"); at != std::string::npos; at = every_name.find("*.*", at)) {
        every_name.replace(at, 3, "*");
    }
    return WildcardPattern(every_name, CaseMode::ignore_case, WildcardSyntax::stars_and_question_marks);
}

}  // namespace quillet::platform
