#pragma once
// For the job's tests: the main window on a recording front end, a private trash,
// and scratch folders on disk named as path text.

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"
#include "ui/models/main_window.h"
#include "support/recording_front_end.h"
#include "ui/reporting.h"

namespace quillet::testing {

class JobTest : public ::testing::Test {
protected:
    JobTest() {
        PrivateHome::get();  // before the first use of the trash
        ShowErrorDetails = true;
        frmMain.MessagesInit();
    }

    const std::string& title() { return screen.titles[kMainWindow]; }
    std::string last_box() const { return screen.boxes.empty() ? std::string() : screen.boxes.back().text; }

    RecordingFrontEnd screen;
    FrontEndScope installed{screen};
    ScratchFolder disk;
};

}  // namespace quillet::testing
