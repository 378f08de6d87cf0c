#include "app/form_load.h"

#include <gtest/gtest.h>

#include "support/files.h"
#include "ui/activity_report.h"
#include "ui/models/main_window.h"
#include "support/recording_front_end.h"
#include "ui/reporting.h"

namespace quillet {
namespace {

TEST(FormLoad, AFailureRowKeepsTheWindowOpenWithErrorsEncounteredUnlessAJobUnloadsIt) {
    testing::RecordingFrontEnd windows;
    const FrontEndScope installed(windows);
    const auto outcome =
        Form_Load("Z:\\a\\*.* Z:\\b", [](const std::string&, RunState&) { AddMessageAndLog("Failed to copy x to y"); });
    EXPECT_EQ(outcome, WindowsAfterRun::errors_shown);
    EXPECT_EQ(frmMain.Messages(), std::vector<std::string>{"Failed to copy x to y"});
    EXPECT_EQ(windows.captions[MainLabel::lblDisplay], "Errors encountered");
    EXPECT_EQ(windows.titles[kMainWindow], "Quillet ");

    EXPECT_EQ(Form_Load("Z:\\a Z:\\b",
                        [](const std::string&, RunState& run) {
                            AddMessageAndLog("a row");
                            run.UnloadRequested = true;
                        }),
              WindowsAfterRun::closed);
}

struct ShiftHeld : testing::RecordingFrontEnd {
    bool shift_held() override { return true; }
};

TEST(FormLoad, TheShiftStateReachesTheFirstJobAndTheJobsShareTheRun) {
    ShiftHeld windows;
    const FrontEndScope installed(windows);
    testing::ScratchFolder folder;
    folder.write("cmds.txt", "Z:\\a Z:\\b\r\nZ:\\c Z:\\d\r\n");
    std::vector<bool> shift_seen;
    Form_Load(folder.text("cmds.txt"), [&](const std::string&, RunState& run) {
        shift_seen.push_back(run.ShiftKeyAtStart);
        run.ShiftKeyAtStart = false;  // as the first job that asks the questions does
    });
    EXPECT_EQ(shift_seen, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace quillet
