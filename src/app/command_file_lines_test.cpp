#include "app/command_file_lines.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using Lines = std::vector<std::string>;

TEST(CommandFileLines, EndAtCarriageReturnsWithOrWithoutLineFeed) {
    EXPECT_EQ(CommandFileLines(""), Lines{});
    EXPECT_EQ(CommandFileLines("one\r\ntwo\rthree"), (Lines{"one", "two", "three"}));
    EXPECT_EQ(CommandFileLines("one\r\n\r\ntwo\r\n"), (Lines{"one", "", "two"}));
    EXPECT_EQ(CommandFileLines("\r"), Lines{""});
}

TEST(CommandFileLines, KeepALineFeedAloneInsideItsLine) {
    EXPECT_EQ(CommandFileLines("one\ntwo\r\nthree\n"), (Lines{"one\ntwo", "three\n"}));
    EXPECT_EQ(CommandFileLines("one\r\n\ntwo"), (Lines{"one", "\ntwo"}));
}

TEST(CommandFileLines, ReadEachLineAsUtf8ElseAsWindows1252) {
    EXPECT_EQ(CommandFileLines("Z:\\Caf\xC3\xA9\r\nZ:\\Caf\xE9 \x80"),
              (Lines{"Z:\\Caf\xC3\xA9", "Z:\\Caf\xC3\xA9 \xE2\x82\xAC"}));
}

}  // namespace
}  // namespace quillet
