#include "ui/display.h"

#include <gtest/gtest.h>

#include "support/recording_front_end.h"
#include "support/unit_checks.h"
#include "text/error.h"
#include "ui/busy.h"

namespace quillet {
namespace {

using lib_basDisplay::CentredRect;

TEST(CentredRect, DividesTheFreeSpaceFromTheScreensOrigin) {
    const Rect work_area{0, 0, 1024, 738};
    EXPECT_EQ(CentredRect(Rect{5, 7, 405, 207}, work_area, 4, 2), (Rect{312, 134, 712, 334}));
    // The work area's own origin (a task bar on the left or top) is not added.
    EXPECT_EQ(CentredRect(Rect{0, 0, 400, 200}, Rect{60, 30, 1084, 768}, 4, 2), (Rect{312, 134, 712, 334}));
    // Larger than the work area: its top left corner stays on the screen.
    EXPECT_EQ(CentredRect(Rect{0, 0, 300, 301}, Rect{0, 0, 100, 100}, 2, 2), (Rect{0, 0, 300, 301}));
}

// A form whose placement fails, as a window that has gone away would.
class BrokenForm : public lib_basDisplay::Form {
public:
    Rect WindowRect() const override { return Rect{0, 0, 10, 10}; }
    void MoveWindow(const Rect&) override { throw Error(5, "MoveWindow", "Invalid procedure call or argument"); }
};

TEST(CentreForm, AFailureIsRaisedAgainUnderItsOwnNameWithThePointerRestored) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    BrokenForm form;
    EXPECT_EQ(testing::described(testing::raised([&] { lib_basDisplay::lib_CentreForm(form, 4, 2); })),
              "5 Base7.lib_CentreForm: Invalid procedure call or argument");
    EXPECT_TRUE(screen.boxes.empty());  // reported without being shown
    EXPECT_FALSE(lib_basDisplay::BusyState);
}

}  // namespace
}  // namespace quillet
