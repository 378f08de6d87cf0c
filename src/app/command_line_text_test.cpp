#include "app/command_line_text.h"

#include <gtest/gtest.h>

#include "text/tokenizer.h"

namespace quillet {
namespace {

TEST(CommandLineText, JoinsWithSingleBlanksAndQuotesOnlyWhatWouldSplit) {
    EXPECT_EQ(CommandLineText({}), "");
    EXPECT_EQ(CommandLineText({"Z:\\src\\*.*", "Z:\\bak", "/S", "/K=5"}), "Z:\\src\\*.* Z:\\bak /S /K=5");
    EXPECT_EQ(CommandLineText({"Z:\\My Data\\*.*", "", "a\tb", "/E=x"}), "\"Z:\\My Data\\*.*\" \"\" \"a\tb\" /E=x");
}

TEST(CommandLineText, SplitsBackIntoTheArgumentsThatHoldBlanks) {
    const std::vector<std::string> arguments{"Z:\\My Data\\*.*", "Z:\\Back ups", "/S"};
    std::vector<std::string> parts(11);
    ASSERT_EQ(lib_basConversion::split_at_blanks(CommandLineText(arguments), parts), 3);
    EXPECT_EQ(std::vector<std::string>(parts.begin() + 1, parts.begin() + 4), arguments);
}

}  // namespace
}  // namespace quillet
