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
        // a quoted stretch joins its neighbours; empty quotes add nothing, quoted blanks an empty part
        {"C:\\My\" Data\"\\x \"two  words\" a\"\"b \"\" \"  \"", kBlanksAndTabs,
         {"C:\\My Data\\x", "two  words", "ab", ""}},
        {"a \"", kBlanksAndTabs, {"a", ""}},
        // blanks between commas are a part; two commas in a row are not; only blanks are trimmed
        {"*.LDB, ,*.TMP,,  \"a,b\" ,\tx ", kCommas, {"*.LDB", "", "*.TMP", "a,b", "\tx"}},
        {"\\\\server\\share\\\\ dir \\file", kBackslashes, {"server", "share", "dir", "file"}},
        {std::string("a\0b \"c\0d\"", 9), kBlanksAndTabs, {"a", "b", std::string("c\0d", 3)}},
    };
    for (const SplitCase& c : cases) EXPECT_EQ(split_line(c.line, c.delimiters), c.parts) << c.line;
    // A command line that is no UTF-8 is read as Windows-1252; a path keeps its bytes.
    EXPECT_EQ(lib_GetLineParts3("caf\xE9 x", kBlanksAndTabs), (Parts{"café", "x"}));
    EXPECT_EQ(split_line("caf\xE9\\x", kBackslashes), (Parts{"caf\xE9", "x"}));
}

TEST(Tokenizer, MorePartsThanTheCallerTakesAreRefused) {
    // Eleven parts where ten are taken: the dispatcher's tests show the box it ends in.
    EXPECT_EQ(lib_GetLineParts3("1 2 3 4 5 6 7 8 9 10", kBlanksAndTabs, 10).size(), 10u);
    std::string many;
    for (std::size_t i = 0; i <= kMostParts; ++i) many += "x ";
    EXPECT_THROW(lib_GetLineParts3(many, kBlanksAndTabs, kMostParts), Error);
}

struct TokenCase {
    std::string text, token, rest;
};

// As the options are read: quotes honoured, then stripped.
TEST(Tokenizer, GetTokenCutsOneTokenOffTheFrontStripQuotesOnlyAnEnclosingPair) {
    const TokenCase cases[] = {
        {"a/b/c", "a", "b/c"},
        {"no delimiter", "no delimiter", ""},
        {" \"a/b\" /\"c/d\"/e", "a/b", "\"c/d\"/e"},  // only the first quoted stretch counts
        {"\"a/b/c", "\"a", "b/c"},                    // no closing quote: the first delimiter counts
    };
    for (const TokenCase& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(lib_GetToken(text, "/", true, true), c.token) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
    // Stripping quotes trims and removes only an enclosing pair.
    const std::pair<std::string, std::string> quoted[] = {
        {"  \"C:\\My Data\"  ", "C:\\My Data"}, {"  \"half  ", "\"half"}, {"\"", "\""}, {"\"\"", ""}};
    for (const auto& [with, without] : quoted) EXPECT_EQ(lib_StripQuotes(with), without) << with;
}

}  // namespace
}  // namespace quillet::lib_basConversion
