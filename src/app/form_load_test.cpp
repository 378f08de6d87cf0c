#include "app/form_load.h"

#include <gtest/gtest.h>

#include "ui/activity_report.h"
#include "ui/models/main_window.h"
#include "support/recording_front_end.h"
#include "ui/reporting.h"

namespace quillet {
namespace {

TEST(FormLoad, OnlyAFailureRowKeepsTheWindowOpenWithErrorsEncounteredUnlessAJobUnloadsIt) {
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

}  // namespace
}  // namespace quillet
