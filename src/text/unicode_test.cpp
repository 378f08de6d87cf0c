#include "text/unicode.h"

#include <gtest/gtest.h>

#include <string>

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
    EXPECT_EQ(from_windows_1252_unless_utf8("caf\xE9 \x80"), "café €");
    // A NUL byte is valid UTF-8: a line holding one is not read as Windows-1252.
    EXPECT_EQ(from_windows_1252_unless_utf8("café\0"s), "café\0"s);
    EXPECT_EQ(from_windows_1252_unless_utf8("caf\xE9\0"s), "café\0"s);
    EXPECT_EQ(decode("é\0ü"s), U"é\0ü"s);
}

// Strict UTF-8: the highest code point is valid; a stray continuation byte, an
// overlong form, a surrogate, a code point beyond U+10FFFF and a cut sequence are
// not, and such text reads as Windows-1252, one byte a character.
TEST(Unicode, DecodesStrictUtf8Only) {
    EXPECT_EQ(decode("\xF4\x8F\xBF\xBF"), U"\x10FFFF");
    EXPECT_EQ(encode(U"\x10FFFF"), "\xF4\x8F\xBF\xBF");
    for (const std::string bytes :
         {"\xBF", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF0\x9F\x98"}) {
        EXPECT_EQ(decode(bytes).size(), bytes.size()) << ::testing::PrintToString(bytes);
    }
}

}  // namespace
}  // namespace quillet::unicode
