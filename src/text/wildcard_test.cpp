#include "text/wildcard.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

bool exact(std::string_view text, std::string_view pattern) {
    return wildcard_match(text, pattern, CaseMode::exact);
}
bool ignoring_case(std::string_view text, std::string_view pattern) {
    return wildcard_match(text, pattern, CaseMode::ignore_case);
}

TEST(Wildcard, StarSpansAnyRunIncludingBackslashes) {
    EXPECT_TRUE(exact("", "*"));
    EXPECT_TRUE(exact("A\\B\\C.TMP", "*.TMP"));
    EXPECT_TRUE(exact("1998\\JUNK\\A\\B.TXT", "1998\\JUNK\\*"));
    EXPECT_TRUE(exact("abc", "**a*b*c**"));
    EXPECT_FALSE(exact("abcd", "a*c"));
    EXPECT_FALSE(exact("", "?*"));
    EXPECT_TRUE(exact("mississippi", "*sip*"));
    EXPECT_FALSE(exact("mississippi", "*sipp*x"));
}

TEST(Wildcard, QuestionMarkAndDigitTakeOneCodePoint) {
    EXPECT_TRUE(exact("a1c", "a?c"));
    EXPECT_FALSE(exact("ac", "a?c"));
    EXPECT_TRUE(exact("2024-03-05", "####-##-##"));
    EXPECT_FALSE(exact("2024-O3-05", "####-##-##"));
    EXPECT_TRUE(exact("Zürich", "Z?rich"));
    EXPECT_FALSE(exact("東京", "?"));
}

TEST(Wildcard, ListsRangesAndNegation) {
    EXPECT_TRUE(exact("b", "[abc]"));
    EXPECT_FALSE(exact("d", "[abc]"));
    EXPECT_FALSE(exact("q", "[A-Z]"));
    EXPECT_TRUE(exact("5", "[a-cx0-9]"));
    EXPECT_TRUE(exact("d", "[!abc]"));
    EXPECT_FALSE(exact("M", "[!A-Z]"));
    EXPECT_TRUE(exact("-", "[a-]"));
    EXPECT_TRUE(exact("ü", "[ä-ü]"));
    // Inside brackets the special characters stand for themselves.
    EXPECT_TRUE(exact("?#[*", "[?][#][[][*]"));
    EXPECT_FALSE(exact("axb", "a[*]b"));
}

TEST(Wildcard, OddBracketsAreReadGenerously) {
    EXPECT_TRUE(exact("a[bc", "a[*"));  // an unclosed list is a literal "["
    EXPECT_FALSE(exact("a", "[a"));
    EXPECT_TRUE(exact("ab", "a[]b"));   // "[]" takes no character
    EXPECT_TRUE(exact("axb", "a[!]b"));  // "[!]" takes any one
    EXPECT_FALSE(exact("m", "[z-a]"));   // a backwards range holds nothing
}

TEST(Wildcard, CaseModes) {
    EXPECT_FALSE(exact("report.tmp", "*.TMP"));
    EXPECT_TRUE(ignoring_case("report.tmp", "*.TMP"));
    EXPECT_TRUE(ignoring_case("q", "[A-Z]"));
    EXPECT_TRUE(ignoring_case("Q", "[a-z]"));
    EXPECT_FALSE(ignoring_case("q", "[!A-Z]"));
    EXPECT_TRUE(ignoring_case("ÄRGER.doc", "ärger.DOC"));
    EXPECT_TRUE(ignoring_case("_", "[_-z]"));
}

TEST(Wildcard, ManyStarsStayFast) {
    // Exponential backtracking would never finish this.
    const std::string text(5000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(exact(text, pattern));
    EXPECT_TRUE(exact(text + "b", pattern));
    EXPECT_TRUE(WildcardPattern("***", CaseMode::exact).matches_everything());
    EXPECT_FALSE(WildcardPattern("*.*", CaseMode::exact).matches_everything());
}

}  // namespace
}  // namespace quillet
