#include "text/unicode.h"

#include <gtest/gtest.h>

namespace quillet::unicode {
namespace {

TEST(Unicode, CountsCodePointsNotBytes) {
    EXPECT_EQ(length("Zürich"), 6u);
    EXPECT_EQ(decode("Zürich").size(), 6u);
    EXPECT_EQ(encode(decode("Zürich 東京")), "Zürich 東京");
}

TEST(Unicode, UpperCasesBeyondAscii) {
    EXPECT_EQ(to_upper("straße über"), "STRAßE ÜBER");  // simple mapping keeps ß
    EXPECT_EQ(to_upper("readme.txt ~1 {az}@`"), "README.TXT ~1 {AZ}@`");
    EXPECT_EQ(to_upper("caf\xE9"), "CAFÉ");  // not UTF-8: read as Windows-1252
    EXPECT_TRUE(equal_ignoring_case("Ärger.TMP", "ärger.tmp"));
    EXPECT_FALSE(equal_ignoring_case("a", "b"));
}

TEST(Unicode, InvalidUtf8ReadsAsWindows1252) {
    EXPECT_EQ(from_windows_1252_unless_utf8("caf\xE9 \x80"), "café €");
    EXPECT_EQ(from_windows_1252_unless_utf8("café"), "café");
    EXPECT_EQ(length("caf\xE9"), 4u);
}

// A NUL byte is valid UTF-8: a line holding one is not read as Windows-1252, and
// what the reading gives is read back the same.
TEST(Unicode, NulIsValidUtf8) {
    using namespace std::string_literals;
    EXPECT_TRUE(is_valid_utf8("café\0über"s));
    EXPECT_FALSE(is_valid_utf8("caf\xE9\0über"s));
    EXPECT_EQ(from_windows_1252_unless_utf8("café\0"s), "café\0"s);
    EXPECT_EQ(from_windows_1252_unless_utf8("caf\xE9\0"s), "café\0"s);
    EXPECT_EQ(length("café\0ü"s), 6u);
    EXPECT_EQ(decode("é\0ü"s), U"é\0ü"s);
}

}  // namespace
}  // namespace quillet::unicode
