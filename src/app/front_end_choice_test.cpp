#include "app/front_end_choice.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(ChooseFrontEnd, FollowsTheRequestElseTheDisplay) {
    EXPECT_EQ(ChooseFrontEnd("console", true, true), FrontEndKind::console);
    EXPECT_EQ(ChooseFrontEnd("Window", false, true), FrontEndKind::window);
    EXPECT_EQ(ChooseFrontEnd(std::nullopt, true, true), FrontEndKind::window);
    EXPECT_EQ(ChooseFrontEnd(std::nullopt, false, true), FrontEndKind::console);
    EXPECT_EQ(ChooseFrontEnd("other", true, true), FrontEndKind::window);
}

TEST(ChooseFrontEnd, TakesTheConsoleWhenNoWindowFrontEndIsBuilt) {
    EXPECT_EQ(ChooseFrontEnd("window", true, false), FrontEndKind::console);
    EXPECT_EQ(ChooseFrontEnd(std::nullopt, true, false), FrontEndKind::console);
}

}  // namespace
}  // namespace quillet
