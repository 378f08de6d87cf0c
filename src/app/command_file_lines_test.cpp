#include "app/command_file_lines.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using Lines = std::vector<std::string>;

TEST(CommandFileLines, EndAtCarriageReturnsLineFeedsOrBoth) {
    EXPECT_EQ(CommandFileLines(""), Lines{});
    EXPECT_EQ(CommandFileLines("one\r\ntwo\rthree"), (Lines{"one", "two", "three"}));
    EXPECT_EQ(CommandFileLines("one\r\n\r\ntwo\r\n"), (Lines{"one", "", "two"}));
    EXPECT_EQ(CommandFileLines("\r"), Lines{""});
    EXPECT_EQ(CommandFileLines("one\ntwo\r\nthree\n"), (Lines{"one", "two", "three"}));
    EXPECT_EQ(CommandFileLines("one\n\ntwo"), (Lines{"one", "", "two"}));
    EXPECT_EQ(CommandFileLines("one\n\r\ntwo"), (Lines{"one", "", "two"}));
}

TEST(CommandFileLines, SkipAByteOrderMarkAtTheStartOnly) {
    EXPECT_EQ(CommandFileLines("\xEF\xBB\xBFone\ntwo"), (Lines{"one", "two"}));
    EXPECT_EQ(CommandFileLines("\xEF\xBB\xBF"), Lines{});
    EXPECT_EQ(CommandFileLines("one\n\xEF\xBB\xBFtwo"), (Lines{"one", "\xEF\xBB\xBFtwo"}));
}

TEST(CommandFileLines, ReadEachLineAsUtf8ElseAsWindows1252) {
    EXPECT_EQ(CommandFileLines("Z:\\Caf\xC3\xA9\r\nZ:\\Caf\xE9 \x80"),
              (Lines{"Z:\\Caf\xC3\xA9", "Z:\\Caf\xC3\xA9 \xE2\x82\xAC"}));
}

}  // namespace
}  // namespace quillet
