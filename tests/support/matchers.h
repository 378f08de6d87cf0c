#pragma once
// Matchers the tests share.

#include <gmock/gmock.h>

#include <regex>
#include <string>

namespace quillet::testing {

// The whole text matches a POSIX extended regular expression, on every host:
// GoogleTest's MatchesRegex has them only on POSIX hosts, and on Windows its own
// simple expressions, without brackets or braces.
MATCHER_P(MatchesExtendedRegex, pattern, "matches the regular expression \"" + std::string(pattern) + "\"") {
    return std::regex_match(std::string(arg), std::regex(pattern, std::regex::extended));
}

}  // namespace quillet::testing
