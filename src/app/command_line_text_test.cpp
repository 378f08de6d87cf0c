#include "app/command_line_text.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(CommandLineText, JoinsWithSingleBlanksAndQuotesOnlyWhatWouldSplit) {
    EXPECT_EQ(CommandLineText({}), "");
    EXPECT_EQ(CommandLineText({"Z:\\src\\*.*", "Z:\\bak", "/S", "/K=5"}), "Z:\\src\\*.* Z:\\bak /S /K=5");
    EXPECT_EQ(CommandLineText({"Z:\\My Data\\*.*", "", "a\tb", "/E=x"}), "\"Z:\\My Data\\*.*\" \"\" \"a\tb\" /E=x");
}

}  // namespace
}  // namespace quillet
