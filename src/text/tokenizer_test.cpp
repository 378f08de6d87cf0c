#include "text/tokenizer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/error.h"

namespace quillet::lib_basConversion {
namespace {

using ::testing::ElementsAre;

// A parts array with upper bound `upper`, every slot marked so untouched ones show.
std::vector<std::string> slots(std::size_t upper) { return std::vector<std::string>(upper + 1, "-"); }

// The general routine with every class empty except those given.
struct Call {
    std::string delims, kept_delims, line_ends, kept_line_ends, comments, groups, quotes = "\"\"", brackets;
    bool delims_mod = true, line_ends_mod = true, groups_mod = true, join = true, nest = false, trim = true;

    std::vector<std::string> run(const std::string& line, std::vector<std::int16_t>* locations = nullptr) const {
        std::vector<std::string> parts = slots(20);
        const std::int16_t n = lib_GetLineParts3(line, parts, delims, kept_delims, delims_mod, line_ends, kept_line_ends,
                                                 line_ends_mod, comments, groups, groups_mod, quotes, brackets, join,
                                                 nest, trim, locations);
        return std::vector<std::string>(parts.begin() + 1, parts.begin() + 1 + n);
    }
};

void expect_library_error(const std::function<void()>& call, const std::string& description) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << description;
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), static_cast<std::int32_t>(0x800403E8u));
        EXPECT_EQ(error.source(), "Base7.lib_GetLineParts3");
        EXPECT_EQ(error.description(), description);
    }
}

TEST(Tokenizer, BlanksAndTabsSplitAndRunsActAsOne) {
    std::vector<std::string> parts = slots(10);
    EXPECT_EQ(split_at_blanks(" \t F:\\Apps\\*.*\t\tC:\\Backup   /S  \t/K=5 \t", parts), 4);
    EXPECT_THAT(parts, ElementsAre("-", "F:\\Apps\\*.*", "C:\\Backup", "/S", "/K=5", "-", "-", "-", "-", "-", "-"));

    EXPECT_EQ(split_at_blanks(" \t  ", parts), 0);
    EXPECT_EQ(split_at_blanks("", parts), 0);
}

TEST(Tokenizer, QuotedStretchJoinsTheTextAroundItAndLosesItsQuotes) {
    std::vector<std::string> parts = slots(10);
    EXPECT_EQ(split_at_blanks("C:\\My\" Data\"\\x \"two  words\" a\"\"b \"\" \"  \"", parts), 4);
    EXPECT_THAT(std::vector<std::string>(parts.begin() + 1, parts.begin() + 5),
                ElementsAre("C:\\My Data\\x", "two  words", "ab", ""));
}

TEST(Tokenizer, CommaSplitKeepsBlankPartsButNotEmptyOnes) {
    std::vector<std::string> parts = slots(10);
    EXPECT_EQ(split_at_commas("*.LDB, ,*.TMP,,  \"a,b\" ,", parts), 4);
    EXPECT_THAT(std::vector<std::string>(parts.begin() + 1, parts.begin() + 5), ElementsAre("*.LDB", "", "*.TMP", "a,b"));
}

TEST(Tokenizer, BackslashSplitDropsEmptyComponents) {
    std::vector<std::string> parts = slots(10);
    EXPECT_EQ(split_at_backslashes("\\\\server\\share\\\\ dir \\file", parts), 4);
    EXPECT_THAT(std::vector<std::string>(parts.begin() + 1, parts.begin() + 5),
                ElementsAre("server", "share", "dir", "file"));
}

TEST(Tokenizer, TooManyPartsStoresThoseThatFitThenFails) {
    std::vector<std::string> parts = slots(10);
    expect_library_error([&] { split_at_blanks("1 2 3 4 5 6 7 8 9 10 11", parts); }, "LineParts array too small");
    EXPECT_EQ(parts[10], "10");
    EXPECT_EQ(parts[0], "-");

    std::vector<std::string> no_room;
    expect_library_error([&] { split_at_blanks("x", no_room); }, "LineParts array too small");
    EXPECT_EQ(split_at_blanks("  ", no_room), 0);
}

TEST(Tokenizer, UnevenPairFailsBeforeTheLineIsRead) {
    std::vector<std::string> parts = slots(10);
    const auto with_pairs = [&](const std::string& quotes, const std::string& brackets) {
        lib_GetLineParts3("a b", parts, " ", "", true, "", "", true, "", "", true, quotes, brackets, true, false, true);
    };
    expect_library_error([&] { with_pairs("\"", ""); }, "Uneven pair passed");
    expect_library_error([&] { with_pairs("\"\"", "()["); }, "Uneven pair passed");
    EXPECT_EQ(parts[1], "-");
}

TEST(Tokenizer, MoreThanFiftySpecialCharactersOverflowTheTable) {
    std::vector<std::string> parts = slots(10);
    const std::string delimiters(48, ',');  // with the quote pair and the end marker: 51
    try {
        lib_GetLineParts3("a", parts, delimiters, "", true, "", "", true, "", "", true, "\"\"", "", true, false, true);
        ADD_FAILURE() << "no error raised";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 9);
        EXPECT_EQ(error.description(), "Subscript out of range");
    }
    EXPECT_EQ(lib_GetLineParts3("a", parts, delimiters.substr(1), "", true, "", "", true, "", "", true, "\"\"", "", true,
                                false, true),
              1);
}

TEST(Tokenizer, LocationsAreCodePointPositionsOfEachPartsFirstCharacter) {
    Call call;
    call.delims = " ";
    std::vector<std::int16_t> locations(4, -1);
    EXPECT_THAT(call.run("Zürich  \"é x\" y", &locations), ElementsAre("Zürich", "é x", "y"));
    EXPECT_THAT(locations, ElementsAre(-1, 1, 10, 15));

    std::vector<std::int16_t> short_locations(3, -1);
    std::vector<std::string> parts = slots(10);
    expect_library_error(
        [&] {
            lib_GetLineParts3("a b c", parts, " ", "", true, "", "", true, "", "", true, "\"\"", "", true, false, true,
                              &short_locations);
        },
        "PartLocs array too small");
    EXPECT_EQ(parts[3], "c");  // the part is stored before its location is refused
    EXPECT_THAT(short_locations, ElementsAre(-1, 1, 3));
}

TEST(Tokenizer, UnclosedQuoteRunsToTheEndWithoutTheEndMarker) {
    Call call;
    call.delims = " ";
    std::vector<std::int16_t> locations(3, 0);
    EXPECT_THAT(call.run("a \"b c", &locations), ElementsAre("a", "b c"));
    EXPECT_THAT(call.run("a \"", &locations), ElementsAre("a", ""));
    EXPECT_EQ(locations[2], 4);
}

TEST(Tokenizer, DelimiterModifiers) {
    Call call;
    call.delims = ",";
    call.kept_delims = ";";
    call.trim = false;
    EXPECT_THAT(call.run(",a,,b ;c;"), ElementsAre("a", "b ;", "c;"));

    call.delims_mod = false;  // every delimiter ends a part; kept ones stand alone
    EXPECT_THAT(call.run(",a,,b ;c;"), ElementsAre("", "a", "", "b ", ";", "c", ";"));
    EXPECT_THAT(call.run("a,"), ElementsAre("a", ""));

    Call lines;
    lines.line_ends = "\n";
    lines.kept_line_ends = "\r";
    EXPECT_THAT(lines.run("a\n\nb\rc"), ElementsAre("a", "b\r", "c"));
    lines.line_ends_mod = false;
    EXPECT_THAT(lines.run("a\n\nb\rc"), ElementsAre("a", "", "b", "\r", "c"));
}

TEST(Tokenizer, PairModifiers) {
    Call call;
    call.delims = " ";
    call.brackets = "()";
    EXPECT_THAT(call.run("f(a b)g )x"), ElementsAre("f(a b)g", ")x"));

    call.join = false;  // pair characters also end the part in progress
    EXPECT_THAT(call.run("f(a b)g x\"y z\"w"), ElementsAre("f", "(a b)", "g", "x", "y z", "w"));

    call.join = true;
    EXPECT_THAT(call.run("((a b) c) d"), ElementsAre("((a b)", "c)", "d"));
    call.nest = true;
    EXPECT_THAT(call.run("((a b) c) d \"(\" e"), ElementsAre("((a b) c)", "d", "(", "e"));
}

TEST(Tokenizer, CommentsAndGroups) {
    Call call;
    call.delims = " ";
    call.comments = "{}";
    call.groups = "<>";
    EXPECT_THAT(call.run("a{x y}b c<d e>f"), ElementsAre("a", "b", "c<d e>", "f"));

    call.groups_mod = false;
    EXPECT_THAT(call.run("a{x y}b c<d e>f"), ElementsAre("ab", "c", "<d e>", "f"));
}

TEST(Tokenizer, GetTokenCutsOneTokenOffTheFront) {
    std::string text = "a/b/c";
    EXPECT_EQ(lib_GetToken(text, "/", false, false), "a");
    EXPECT_EQ(text, "b/c");

    text = "no delimiter";
    EXPECT_EQ(lib_GetToken(text, "/", false, false), "no delimiter");
    EXPECT_EQ(text, "");

    text = "oneXtwoxthree";  // the delimiter is found without regard to case
    EXPECT_EQ(lib_GetToken(text, "x", false, false), "one");
    EXPECT_EQ(text, "twoxthree");
}

TEST(Tokenizer, GetTokenHonoursOnlyTheFirstQuotedStretch) {
    std::string text = " \"a/b\" /\"c/d\"/e";
    EXPECT_EQ(lib_GetToken(text, "/", true, true), "a/b");
    EXPECT_EQ(text, "\"c/d\"/e");

    text = "\"a/b\"/c";
    EXPECT_EQ(lib_GetToken(text, "/", false, false), "\"a");

    text = "\"a/b/c";  // no closing quote: the first delimiter counts
    EXPECT_EQ(lib_GetToken(text, "/", true, false), "\"a");
}

TEST(Tokenizer, StripQuotesTrimsAndRemovesOnlyAnEnclosingPair) {
    EXPECT_EQ(lib_StripQuotes("  \"C:\\My Data\"  "), "C:\\My Data");
    EXPECT_EQ(lib_StripQuotes("  \"half  "), "\"half");
    EXPECT_EQ(lib_StripQuotes("half\" "), "half\"");
    EXPECT_EQ(lib_StripQuotes("\""), "\"");
    EXPECT_EQ(lib_StripQuotes("\"\""), "");
}

}  // namespace
}  // namespace quillet::lib_basConversion
