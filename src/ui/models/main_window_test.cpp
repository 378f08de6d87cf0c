#include "ui/models/main_window.h"

#include <gtest/gtest.h>

#include <functional>

#include "ui/activity_report.h"
#include "support/recording_front_end.h"

namespace quillet {
namespace {

struct Started {
    testing::RecordingFrontEnd screen;
    FrontEndScope installed{screen};
    MainWindow window;
    Started() { window.LayOutAtStartUp(); }
};

using Step = std::function<void(Started&)>;
Step show(const std::string& text) {
    return [=](Started& s) {
        s.window.SetLabelCaption(MainLabel::lblDisplay, text);
        s.window.FitWindowToMessage(false, false);
    };
}
Step rows(int count, const std::string& text = "row") {
    return [=](Started& s) { for (int i = 0; i < count; ++i) s.window.AddMessage(text); };
}
Step fit(bool always) { return [=](Started& s) { s.window.FitWindowToMessage(always, false); }; }
Step drag(std::int32_t width, std::int32_t height) { return [=](Started& s) { s.window.Form_Resize(width, height); }; }
Step minimised(bool is) {
    return [=](Started& s) {
        if (is) s.screen.minimised.insert(kMainWindow);
        else s.screen.minimised.erase(kMainWindow);
    };
}
// A window system that answers a new layout with a resize at once.
Step echo_resizes() {
    return [](Started& s) {
        s.screen.on_layout = [&s](const MainWindowLayout& layout) {
            if (s.window.Resizing()) s.window.Form_Resize(layout.window.width, layout.window.height);
        };
    };
}

// Twips, on a 1024 x 738 pixel work area where a caption is 100 twips a character:
// centred across, a quarter of the free height down.
TEST(MainWindow, WidthHeightListAndPlaceFollowTheLabelsRowsAndResizes) {
    struct Case {
        const char* what;
        std::vector<Step> steps;
        std::int32_t width, height, list_height, left_pixels, top_pixels;
    };
    const std::string x60(60, 'x');
    const Case cases[] = {
        {"as started", {}, 4830, 1935, 0, 351, 152},
        {"first row", {rows(1)}, 4830, 1935 + 225, 225, 351, 148},
        {"seven rows", {rows(7)}, 4830, 1935 + 1575, 1575, 351, 126},
        {"wide activity", {show(x60 + "x")}, 6600, 1935, 0, 292, 152},
        {"a shorter one leaves it", {show(x60 + "x"), show("short")}, 6600, 1935, 0, 292, 152},
        {"start-up's fit narrows", {show(x60 + "x"), show("short"), fit(true)}, 4830, 1935, 0, 351, 152},
        {"the widest line counts", {show("Copying\r\n" + std::string(70, 'p') + "\r\nto")}, 7500, 1935, 0, 262, 152},
        {"a wide row", {rows(1, std::string(90, 'w')), fit(false)}, 9500, 2160, 225, 195, 148},
        {"never wider than the screen", {rows(1, std::string(1100, 'w')), fit(false)}, 1024 * 15, 2160, 225, 0, 148},
        {"a drag snaps back", {show(x60), rows(1), drag(9000, 4000), drag(3000, 900)}, 6500, 2160, 225, 295, 148},
        {"a resize inside its own resizing", {echo_resizes(), drag(9000, 4000)}, 4830, 1935, 0, 351, 152},
        {"minimised, nothing changes", {minimised(true), show(std::string(80, 'x')), drag(2000, 400)}, 4830, 1935, 0,
         351, 152},
        {"restored, it takes its size",
         {minimised(true), show(std::string(80, 'x')), drag(2000, 400), minimised(false), drag(2000, 400)}, 8500, 1935,
         0, 229, 152},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Started started;
        for (const Step& step : c.steps) step(started);
        const MainWindow& window = started.window;
        const MainWindowLayout& layout = window.Layout();
        EXPECT_EQ(layout.window, (TwipRect{c.left_pixels * 15, c.top_pixels * 15, c.width, c.height}));
        EXPECT_EQ(window.WindowHeight(), c.height);
        EXPECT_EQ(window.ListVisible() ? layout.lvwMessages.height : 0, c.list_height);
        EXPECT_FALSE(window.Resizing());
        EXPECT_EQ(started.screen.layouts.back(), layout);
    }
}

TEST(MainWindow, ControlsSpanTheNewWidthAndARowShowsWithoutItsPassword) {
    Started started;
    show(std::string(61, 'x'))(started);
    started.window.AddMessage("Failed to create dir D:\\bak /c=db/secret");
    const MainWindowLayout& layout = started.window.Layout();
    EXPECT_EQ(layout.lvwMessages, (TwipRect{0, 1290 + 225 + 20, 6500, 225}));
    EXPECT_EQ(layout.lblCopyrightBG.width, 6600);
    EXPECT_EQ(layout.lblDisplay, (TwipRect{0, 120, 6600, 195}));
    EXPECT_EQ(layout.lblSizingMsg, (TwipRect{0, 990, 6600, 195}));
    EXPECT_EQ(layout.lblCopyright.left, 1117);  // (6600 - 4365) / 2, halved down
    EXPECT_EQ(layout.imgCopyright.left, (6600 - 2250) / 2);
    EXPECT_EQ(started.screen.rows, std::vector<std::string>{"Failed to create dir D:\\bak /c=***"});
    EXPECT_EQ(started.window.LabelCaption(MainLabel::lblSizingMsg), started.screen.rows[0]);
}

TEST(ActivityReport, SetsTheLabelsLogsAndFitsTheMainWindow) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    const std::string path = "C:\\MyBackup\\" + std::string(80, 'y');
    ReportActivity("Cleaning up\r\n" + path);
    const std::vector<std::string> expected{
        "lblSizingMsg=\u00A0", "lblSizingMsg= ", "lblDisplay= ", "lblDisplay=Cleaning up\r\n" + path,
        "refresh",             "events",
        "refresh",  // the fit widened the window for the long path and refreshed the label
    };
    EXPECT_EQ(screen.events, expected);
    EXPECT_TRUE(screen.titles.empty());  // the log names no window

    screen.events.clear();
    AddMessageAndLog("Failed to cleanup C:\\old");
    EXPECT_EQ(screen.rows.back(), "Failed to cleanup C:\\old");
    EXPECT_EQ(screen.events.back(), "events");
    EXPECT_EQ(JoinActivityLines("a\r\nb\nc\rd"), "a b c d");
}

}  // namespace
}  // namespace quillet
