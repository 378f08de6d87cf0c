#include "ui/reporting.h"

#include <gtest/gtest.h>

#include "text/error.h"
#include "ui/busy.h"
#include "ui/msgbox.h"
#include "support/recording_front_end.h"

namespace quillet {
namespace {

class ErrorHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { ShowErrorDetails = true; }
    void TearDown() override { ShowErrorDetails = false; }

    testing::RecordingFrontEnd screen;
    FrontEndScope installed{screen};
};

TEST_F(ErrorHandlerTest, NumberPartAndBoxFollowTheKindOfNumber) {
    const std::tuple<std::int32_t, const char*, MsgBoxIcon> cases[] = {
        {0, "", MsgBoxIcon::critical},
        {53, "(53) ", MsgBoxIcon::critical},
        {kObjectErrorBase + 5, "(&H80040005)(SQL 5) ", MsgBoxIcon::critical},
        {kObjectErrorBase + 1000, "(&H800403E8)(AppDef 1000) ", MsgBoxIcon::critical},
        {kObjectErrorBase + 1001, "(&H800403E9)(AppDef 1001) ", MsgBoxIcon::exclamation},
        {kObjectErrorBase + 65535, "(&H8004FFFF)(AppDef 65535) ", MsgBoxIcon::exclamation},
        {kObjectErrorBase + 65536, "(-2147155968) ", MsgBoxIcon::critical},
    };
    for (const auto& [number, number_part, icon] : cases) {
        screen.boxes.clear();
        lib_ErrorHandler("Base7.lib_MakePath", number, "Broken");
        ASSERT_EQ(screen.boxes.size(), 1u) << number;
        EXPECT_EQ(screen.boxes[0].text,
                  "An error has occurred in Base7.lib_MakePath\r\n\r\n" + std::string(number_part) + "Broken");
        EXPECT_EQ(screen.boxes[0].icon, icon) << number;
    }
    EXPECT_EQ(screen.beeps, 7);  // both error and warning boxes beep
}

TEST_F(ErrorHandlerTest, HiddenDetailsShowTheFixedTextAndNotShownMeansNothingHappens) {
    MsgBoxRequest = "untouched";
    lib_ErrorHandler("Base7.lib_CentreForm", 53, "File not found", false);
    EXPECT_EQ(screen.beeps, 0);
    EXPECT_EQ(MsgBoxRequest, "untouched");
    ShowErrorDetails = false;
    lib_ErrorHandler("HandleCommandLineS", 53, "File not found", true, "C:\\x");
    ASSERT_EQ(screen.boxes.size(), 1u);
    EXPECT_EQ(screen.boxes[0].text, "The application has encountered an error");
}

TEST_F(ErrorHandlerTest, AFailureWhileReportingEndsInTheSystemsBox) {
    lib_basDisplay::lib_SetBusy(true);
    screen.on_box = [](MsgBoxWindow&) { throw Error(68, "frmMsgBox", "Device unavailable"); };
    EXPECT_NO_THROW(lib_ErrorHandler("Base7.lib_KillFile", 53, "File not found"));
    const std::string fatal =
        "Fatal Error: the system encountered an error within the error handler\r\n(68) Device unavailable";
    EXPECT_EQ(screen.fatal_errors, std::vector<std::string>{fatal});
    EXPECT_EQ(MsgBoxRequest, fatal);
    EXPECT_TRUE(lib_basDisplay::BusyState);  // the box put the pointer back on its way out
    lib_basDisplay::lib_SetBusy(false);
}

}  // namespace
}  // namespace quillet
