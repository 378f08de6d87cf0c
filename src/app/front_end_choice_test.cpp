#include "app/front_end_choice.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct Choice {
    std::optional<std::string> requested;
    bool display, window_built;
    FrontEndKind chosen;
};

TEST(ChooseFrontEnd, FollowsTheRequestElseTheDisplayAndTakesTheConsoleWhenNoWindowIsBuilt) {
    const Choice choices[] = {
        {"console", true, true, FrontEndKind::console}, {"Window", false, true, FrontEndKind::window},
        {std::nullopt, true, true, FrontEndKind::window}, {std::nullopt, false, true, FrontEndKind::console},
        {"other", true, true, FrontEndKind::window},      {"window", true, false, FrontEndKind::console},
    };
    for (const Choice& c : choices) {
        EXPECT_EQ(ChooseFrontEnd(c.requested, c.display, c.window_built), c.chosen) << c.requested.value_or("none");
    }
}

}  // namespace
}  // namespace quillet
