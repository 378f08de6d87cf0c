#include "text/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

struct MatchCase {
    std::string_view text, pattern;
    CaseMode mode;
    bool matches;
};

constexpr CaseMode kExact = CaseMode::exact;
constexpr CaseMode kIgnore = CaseMode::ignore_case;

TEST(Wildcard, MatchesCharacterByCharacter) {
    const MatchCase cases[] = {
        // "*" spans any run, backslashes included
        {"", "*", kExact, true}, {"", "?*", kExact, false},
        {"1998\\JUNK\\A\\B.TXT", "1998\\JUNK\\*", kExact, true},
        {"abc", "**a*b*c**", kExact, true}, {"abcd", "a*c", kExact, false},
        {"mississippi", "*sipp*x", kExact, false},
        // "?" and "#" take one code point
        {"ac", "a?c", kExact, false}, {"Zürich", "Z?rich", kExact, true},
        {"2024-O3-05", "####-##-##", kExact, false},
        // lists, ranges and negation; inside brackets the special characters stand for themselves
        {"b", "[abc]", kExact, true}, {"d", "[abc]", kExact, false}, {"5", "[a-cx0-9]", kExact, true},
        {"d", "[!abc]", kExact, true}, {"M", "[!A-Z]", kExact, false},
        {"-", "[a-]", kExact, true}, {"ü", "[ä-ü]", kExact, true},
        {"?#[*", "[?][#][[][*]", kExact, true}, {"axb", "a[*]b", kExact, false},
        // odd brackets are read generously: an unclosed list is a literal "[", "[]" takes
        // no character, "[!]" any one, and a backwards range holds nothing
        {"a[bc", "a[*", kExact, true}, {"a", "[a", kExact, false},
        {"ab", "a[]b", kExact, true}, {"axb", "a[!]b", kExact, true}, {"m", "[z-a]", kExact, false},
        // case
        {"report.tmp", "*.TMP", kExact, false}, {"report.tmp", "*.TMP", kIgnore, true},
        {"q", "[A-Z]", kExact, false}, {"q", "[A-Z]", kIgnore, true}, {"q", "[!A-Z]", kIgnore, false},
        {"ÄRGER.doc", "ärger.DOC", kIgnore, true}, {"_", "[_-z]", kIgnore, true},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(wildcard_match(c.text, c.pattern, c.mode), c.matches) << c.text << " " << c.pattern;
    }
}

TEST(Wildcard, ManyStarsStayFast) {
    // Exponential backtracking would never finish this.
    const std::string text(5000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(wildcard_match(text, pattern, kExact));
    EXPECT_TRUE(wildcard_match(text + "b", pattern, kExact));
    EXPECT_TRUE(WildcardPattern("***", kExact).matches_everything());
    EXPECT_FALSE(WildcardPattern("*.*", kExact).matches_everything());
}

}  // namespace
}  // namespace quillet
