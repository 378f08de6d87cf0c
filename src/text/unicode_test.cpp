#include "text/unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillet::unicode {
namespace {

using namespace std::string_literals;

TEST(Unicode, CountsAndUpperCasesCodePointsReadingInvalidUtf8AsWindows1252) {
    EXPECT_EQ(length("Zürich"), 6u);
    EXPECT_EQ(length("caf\xE9"), 4u);
    EXPECT_EQ(to_upper("straße über"), "STRAßE ÜBER");  // simple mapping keeps ß
    EXPECT_EQ(to_upper("readme.txt ~1 {az}@`"), "README.TXT ~1 {AZ}@`");
    EXPECT_EQ(to_upper("caf\xE9"), "CAFÉ");
    EXPECT_TRUE(equal_ignoring_case("Ärger.TMP", "ärger.tmp"));
    EXPECT_FALSE(equal_ignoring_case("a", "b"));
    EXPECT_EQ(from_windows_1252_unless_utf8("caf\xE9 \x80"), "café €");
    // A NUL byte is valid UTF-8: a line holding one is not read as Windows-1252.
    EXPECT_EQ(from_windows_1252_unless_utf8("café\0"s), "café\0"s);
    EXPECT_EQ(from_windows_1252_unless_utf8("caf\xE9\0"s), "café\0"s);
    EXPECT_EQ(decode("é\0ü"s), U"é\0ü"s);
}

// Strict UTF-8: the edges of each sequence length are valid; overlong forms,
// surrogates, code points beyond U+10FFFF, stray continuation bytes and cut
// sequences are not, and such text reads as Windows-1252, one byte a character.
TEST(Unicode, DecodesStrictUtf8Only) {
    const std::pair<std::string, std::u32string> valid[] = {
        {"\x7F", U"\x7F"},          {"\xC2\x80", U"\x80"},         {"\xDF\xBF", U"\x7FF"},
        {"\xE0\xA0\x80", U"\x800"},  {"\xED\x9F\xBF", U"\xD7FF"},  {"\xEE\x80\x80", U"\xE000"},
        {"\xEF\xBF\xBF", U"\xFFFF"}, {"\xF0\x90\x80\x80", U"\x10000"}, {"\xF4\x8F\xBF\xBF", U"\x10FFFF"},
    };
    for (const auto& [bytes, code_points] : valid) {
        EXPECT_TRUE(is_valid_utf8(bytes)) << bytes;
        EXPECT_EQ(decode(bytes), code_points) << bytes;
        EXPECT_EQ(encode(code_points), bytes);
    }
    const std::string invalid[] = {
        "\x80", "\xBF",                                                  // stray continuation
        "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",           // overlong
        "\xED\xA0\x80", "\xED\xBF\xBF",                                      // surrogates
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF",                      // beyond U+10FFFF
        "\xC2", "\xE2\x82", "\xF0\x9F\x98", "\xE2(\xA1", "a\xC3",               // cut short
    };
    for (const std::string& bytes : invalid) {
        EXPECT_FALSE(is_valid_utf8(bytes)) << ::testing::PrintToString(bytes);
        EXPECT_EQ(decode(bytes).size(), bytes.size()) << ::testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace quillet::unicode
