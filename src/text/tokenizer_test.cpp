#include "text/tokenizer.h"

#include <gtest/gtest.h>

#include "text/error.h"

namespace quillet::lib_basConversion {
namespace {

using Parts = std::vector<std::string>;

struct SplitCase {
    std::string line;
    std::string_view delimiters;
    Parts parts;
};

TEST(Tokenizer, SplitsAsTheCommandLineThePatternsAndPathsNeed) {
    const SplitCase cases[] = {
        {" \t F:\\Apps\\*.*\t\tC:\\Backup   /S  \t/K=5 \t", kBlanksAndTabs,
         {"F:\\Apps\\*.*", "C:\\Backup", "/S", "/K=5"}},
        {" \t  ", kBlanksAndTabs, {}},
        {"", kBlanksAndTabs, {}},
        // a quoted stretch joins its neighbours; empty quotes add nothing, quoted blanks an empty part
        {"C:\\My\" Data\"\\x \"two  words\" a\"\"b \"\" \"  \"", kBlanksAndTabs,
         {"C:\\My Data\\x", "two  words", "ab", ""}},
        {"a \"b c", kBlanksAndTabs, {"a", "b c"}},
        {"a \"", kBlanksAndTabs, {"a", ""}},
        {"Zürich Straße", kBlanksAndTabs, {"Zürich", "Straße"}},
        // blanks between commas are a part; two commas in a row are not; only blanks are trimmed
        {"*.LDB, ,*.TMP,,  \"a,b\" ,\tx ", kCommas, {"*.LDB", "", "*.TMP", "a,b", "\tx"}},
        {"\\\\server\\share\\\\ dir \\file", kBackslashes, {"server", "share", "dir", "file"}},
        {std::string("a\0b \"c\0d\"", 9), kBlanksAndTabs, {"a", "b", std::string("c\0d", 3)}},
    };
    for (const SplitCase& c : cases) EXPECT_EQ(split_line(c.line, c.delimiters), c.parts) << c.line;
}

TEST(Tokenizer, ACommandLineThatIsNoUtf8IsReadAsWindows1252ButAPathKeepsItsBytes) {
    EXPECT_EQ(lib_GetLineParts3("caf\xE9 x", kBlanksAndTabs), (Parts{"café", "x"}));
    EXPECT_EQ(split_line("caf\xE9\\x", kBackslashes), (Parts{"caf\xE9", "x"}));
}

void expect_error(const std::string& line, std::size_t max_parts, std::int32_t number, const std::string& description) {
    try {
        lib_GetLineParts3(line, kBlanksAndTabs, max_parts);
        ADD_FAILURE() << "no error raised, expected " << description;
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.source(), "Base7.lib_GetLineParts3");
        EXPECT_EQ(error.description(), description);
    }
}

TEST(Tokenizer, MorePartsThanTheCallerTakesAreRefused) {
    EXPECT_EQ(lib_GetLineParts3("1 2 3 4 5 6 7 8 9 10", kBlanksAndTabs, 10).size(), 10u);
    expect_error("1 2 3 4 5 6 7 8 9 10 11", 10, static_cast<std::int32_t>(0x800403E8u), "LineParts array too small");
    EXPECT_TRUE(split_line("  ", kBlanksAndTabs, 0).empty());

    std::string many;
    for (std::size_t i = 0; i <= kMostParts; ++i) many += "x ";
    expect_error(many, kMostParts, 6, "Overflow");
}

struct TokenCase {
    std::string text;
    bool honour_quotes, strip_quotes;
    std::string token, rest;
};

TEST(Tokenizer, GetTokenCutsOneTokenOffTheFront) {
    const TokenCase cases[] = {
        {"a/b/c", false, false, "a", "b/c"},
        {"no delimiter", false, false, "no delimiter", ""},
        {"oneXtwo/three", false, false, "oneXtwo", "three"},
        {" \"a/b\" /\"c/d\"/e", true, true, "a/b", "\"c/d\"/e"},  // only the first quoted stretch counts
        {"\"a/b\"/c", false, false, "\"a", "b\"/c"},
        {"\"a/b/c", true, false, "\"a", "b/c"},  // no closing quote: the first delimiter counts
    };
    for (const TokenCase& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(lib_GetToken(text, "/", c.honour_quotes, c.strip_quotes), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
    std::string text = "oneXtwo";  // the delimiter is found without regard to case
    EXPECT_EQ(lib_GetToken(text, "x", false, false), "one");
}

TEST(Tokenizer, StripQuotesTrimsAndRemovesOnlyAnEnclosingPair) {
    const std::pair<std::string, std::string> cases[] = {
        {"  \"C:\\My Data\"  ", "C:\\My Data"}, {"  \"half  ", "\"half"}, {"half\" ", "half\""}, {"\"", "\""},
        {"\"\"", ""}};
    for (const auto& [text, stripped] : cases) EXPECT_EQ(lib_StripQuotes(text), stripped) << text;
}

}  // namespace
}  // namespace quillet::lib_basConversion
