#include "ui/models/main_window.h"

#include <gtest/gtest.h>

#include "ui/activity_report.h"
#include "support/recording_front_end.h"

namespace quillet {
namespace {

class MainWindowTest : public ::testing::Test {
protected:
    // The window as start-up leaves it: its height kept, the width fitted to the
    // (empty) labels, the list prepared.
    void SetUp() override {
        window.SetWindowHeight(window.Height());
        window.FitWindowToMessage(true, false);
        window.MessagesInit();
    }

    void show_activity(const std::string& text) {
        window.SetLabelCaption(MainLabel::lblDisplay, text);
        window.FitWindowToMessage(false, false);
    }

    testing::RecordingFrontEnd screen;
    FrontEndScope installed{screen};
    MainWindow window;
};

TEST_F(MainWindowTest, StartsHiddenAtTheNarrowestWidthCentred) {
    const auto& layout = window.Layout();
    EXPECT_FALSE(window.ListVisible());
    EXPECT_EQ(layout.window.width, 4830);
    EXPECT_EQ(layout.window.height, 1935);
    // 322 x 129 pixels on 1024 x 738: centred across, a quarter of the free height down.
    EXPECT_EQ(layout.window.left, 351 * 15);
    EXPECT_EQ(layout.window.top, 152 * 15);
    EXPECT_EQ(screen.layouts.back(), layout);
}

TEST_F(MainWindowTest, TheListGrowsARowAtATimeForSevenRowsThenScrolls) {
    window.AddMessage("Failed to copy C:\\a to D:\\a");
    EXPECT_TRUE(window.ListVisible());
    EXPECT_EQ(window.Layout().lvwMessages.top, 1290 + 225 + 20);
    EXPECT_EQ(window.Layout().lvwMessages.height, 225);
    EXPECT_EQ(window.Height(), 1935 + 225);
    EXPECT_EQ(window.WindowHeight(), 1935 + 225);
    EXPECT_EQ(window.LabelCaption(MainLabel::lblSizingMsg), "Failed to copy C:\\a to D:\\a");
    EXPECT_EQ(screen.rows, std::vector<std::string>{"Failed to copy C:\\a to D:\\a"});

    for (int row = 2; row <= 7; ++row) window.AddMessage("row");
    EXPECT_EQ(window.Layout().lvwMessages.height, 1575);
    EXPECT_EQ(window.Height(), 1935 + 1575);

    window.AddMessage("eighth");
    window.AddMessage("ninth");
    EXPECT_EQ(window.Layout().lvwMessages.height, 1575);
    EXPECT_EQ(window.Height(), 1935 + 1575);
    EXPECT_EQ(window.WindowHeight(), 1935 + 1575);
    EXPECT_EQ(window.Messages().size(), 9u);
    // Centred again for its new height: (738 - 234) / 4.
    EXPECT_EQ(window.Layout().window.top, 126 * 15);
}

TEST_F(MainWindowTest, APasswordInQuotedCommandLineTextNeverShowsInARow) {
    window.AddMessage("Failed to create dir D:\\bak /c=db/secret");
    EXPECT_EQ(screen.rows, std::vector<std::string>{"Failed to create dir D:\\bak /c=***"});
}

TEST_F(MainWindowTest, AWideActivityWidensTheWindowAndAShorterOneLeavesIt) {
    show_activity(std::string(61, 'x'));  // 6100 twips
    const auto& layout = window.Layout();
    EXPECT_EQ(layout.window.width, 6600);
    EXPECT_EQ(layout.lvwMessages.width, 6500);
    EXPECT_EQ(layout.lblCopyrightBG.width, 6600);
    EXPECT_EQ(layout.lblDisplay, (TwipRect{0, 120, 6600, 195}));
    EXPECT_EQ(layout.lblSizingMsg, (TwipRect{0, 990, 6600, 195}));
    EXPECT_EQ(layout.lblCopyright.left, (6600 - 4365) / 2);  // 1117, the odd difference halved down
    EXPECT_EQ(layout.imgCopyright.left, (6600 - 2250) / 2);
    EXPECT_EQ(screen.events.back(), "refresh");

    show_activity("short");
    EXPECT_EQ(window.Layout().window.width, 6600);

    // Only start-up's fit, or a resize, narrows it again.
    window.FitWindowToMessage(true, false);
    EXPECT_EQ(window.Layout().window.width, 4830);
}

TEST_F(MainWindowTest, TheWiderOfTheTwoLabelsAndTheWidestLineCount) {
    window.SetLabelCaption(MainLabel::lblSizingMsg, std::string(50, 'm'));
    show_activity("Copying\r\n" + std::string(70, 'p') + "\r\nto");
    EXPECT_EQ(window.Layout().window.width, 7500);
    window.AddMessage(std::string(90, 'w'));
    window.FitWindowToMessage(false, false);
    EXPECT_EQ(window.Layout().window.width, 9500);

    // Never wider than the work area (1024 pixels), and still on the screen.
    window.AddMessage(std::string(1100, 'w'));
    window.FitWindowToMessage(false, false);
    EXPECT_EQ(window.Layout().window.width, 1024 * 15);
    EXPECT_EQ(window.Layout().window.left, 0);
}

TEST_F(MainWindowTest, DraggingTheBorderSnapsHeightAndWidthBack) {
    show_activity(std::string(60, 'x'));
    window.AddMessage("one");
    window.Form_Resize(9000, 4000);
    EXPECT_EQ(window.Layout().window.width, 6500);
    EXPECT_EQ(window.Height(), 1935 + 225);
    window.Form_Resize(3000, 900);
    EXPECT_EQ(window.Layout().window.width, 6500);
    EXPECT_EQ(window.Height(), 1935 + 225);
    EXPECT_EQ(screen.layouts.back().window.width, 6500);
}

TEST_F(MainWindowTest, AResizeDeliveredInsideTheModelsOwnResizingChangesNothingMore) {
    int reentries = 0;
    screen.on_layout = [&](const MainWindowLayout& layout) {
        if (!window.Resizing()) return;
        ++reentries;
        window.Form_Resize(layout.window.width, layout.window.height);  // as a window system would, at once
    };
    window.Form_Resize(9000, 4000);
    EXPECT_EQ(reentries, 1);
    EXPECT_FALSE(window.Resizing());
    EXPECT_EQ(window.Layout().window.width, 4830);
    EXPECT_EQ(window.Height(), 1935);
}

TEST_F(MainWindowTest, NothingChangesWhileMinimised) {
    screen.minimised.insert(kMainWindow);
    const auto before = window.Layout();
    show_activity(std::string(80, 'x'));
    window.Form_Resize(2000, 400);
    EXPECT_EQ(window.Layout(), before);
    EXPECT_FALSE(window.Resizing());

    screen.minimised.clear();
    window.Form_Resize(2000, 400);  // restored: it takes its meant size again
    EXPECT_EQ(window.Layout().window.width, 8500);
    EXPECT_EQ(window.Height(), 1935);
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
