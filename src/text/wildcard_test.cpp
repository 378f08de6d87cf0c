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
    EXPECT_TRUE(exact("REPORT.TMP", "*.TMP"));
    EXPECT_TRUE(exact("1998\\JUNK\\A\\B.TXT", "1998\\JUNK\\*"));
    EXPECT_TRUE(exact("A\\B\\C.TMP", "*.TMP"));
    EXPECT_TRUE(exact("abc", "a*b*c"));
    EXPECT_TRUE(exact("abc", "**abc**"));
    EXPECT_FALSE(exact("abcd", "a*c"));
    EXPECT_FALSE(exact("", "?*"));
    EXPECT_TRUE(exact("aXbYc", "a*b*c"));
    EXPECT_TRUE(exact("mississippi", "*sip*"));
    EXPECT_FALSE(exact("mississippi", "*sipp*x"));
}

TEST(Wildcard, QuestionMarkAndDigitTakeExactlyOneCharacter) {
    EXPECT_TRUE(exact("a1c", "a?c"));
    EXPECT_FALSE(exact("ac", "a?c"));
    EXPECT_TRUE(exact("2024-03-05", "####-##-##"));
    EXPECT_FALSE(exact("2024-O3-05", "####-##-##"));
    EXPECT_FALSE(exact("a", "#"));
    // A character is a code point, not a byte.
    EXPECT_TRUE(exact("Zürich", "Z?rich"));
    EXPECT_TRUE(exact("東京", "??"));
    EXPECT_FALSE(exact("東京", "?"));
}

TEST(Wildcard, ListsRangesAndNegation) {
    EXPECT_TRUE(exact("b", "[abc]"));
    EXPECT_FALSE(exact("d", "[abc]"));
    EXPECT_TRUE(exact("Q", "[A-Z]"));
    EXPECT_FALSE(exact("q", "[A-Z]"));
    EXPECT_TRUE(exact("x7", "[a-z][0-9]"));
    EXPECT_TRUE(exact("5", "[a-cx0-9]"));
    EXPECT_TRUE(exact("d", "[!abc]"));
    EXPECT_FALSE(exact("a", "[!abc]"));
    EXPECT_FALSE(exact("M", "[!A-Z]"));
    EXPECT_TRUE(exact("-", "[a-]"));
    EXPECT_TRUE(exact("-", "[-a]"));
    EXPECT_TRUE(exact("!", "!"));
    EXPECT_TRUE(exact("ü", "[ä-ü]"));
}

TEST(Wildcard, SpecialCharactersMatchThemselvesInsideBrackets) {
    EXPECT_TRUE(exact("a*b", "a[*]b"));
    EXPECT_FALSE(exact("axb", "a[*]b"));
    EXPECT_TRUE(exact("?#[", "[?][#][[]"));
    EXPECT_TRUE(exact("x]", "x]"));
}

TEST(Wildcard, OddBracketsAreReadGenerously) {
    // An unclosed list stands for a literal "[".
    EXPECT_TRUE(exact("[abc", "[abc"));
    EXPECT_TRUE(exact("a[bc", "a[*"));
    EXPECT_FALSE(exact("a", "[a"));
    // "[]" takes no character; "[!]" takes any one; a backwards range holds nothing.
    EXPECT_TRUE(exact("ab", "a[]b"));
    EXPECT_TRUE(exact("axb", "a[!]b"));
    EXPECT_FALSE(exact("m", "[z-a]"));
}

TEST(Wildcard, CaseModes) {
    EXPECT_FALSE(exact("report.tmp", "*.TMP"));
    EXPECT_TRUE(ignoring_case("report.tmp", "*.TMP"));
    EXPECT_TRUE(ignoring_case("REPORT.TMP", "*.tmp"));
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
}

TEST(Wildcard, CompiledPatternKnowsWhenItTakesEverything) {
    EXPECT_TRUE(WildcardPattern("***", CaseMode::exact).matches_everything());
    EXPECT_FALSE(WildcardPattern("*.*", CaseMode::exact).matches_everything());
    const WildcardPattern pattern("*.mdb", CaseMode::ignore_case);
    EXPECT_TRUE(pattern.matches("Sales.MDB"));
    EXPECT_FALSE(pattern.matches("Sales.mdbx"));
}

}  // namespace
}  // namespace quillet
