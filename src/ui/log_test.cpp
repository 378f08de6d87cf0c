#include "ui/log.h"

#include <gtest/gtest.h>

#include "support/recording_front_end.h"

namespace quillet {
namespace {

const platform::LocalTime kMorning{2026, 3, 4, 9, 5, 7};

TEST(LogLine, SourceAndStampComeBeforeTheText) {
    EXPECT_EQ(FormatLogLine("Done", "Copy", kMorning, "/", ":"), "Copy, 04/03/26, 09:05:07, Done");
    EXPECT_EQ(FormatLogLine("Done", "", kMorning, "/", ":"), "04/03/26, 09:05:07, Done");
    EXPECT_EQ(FormatLogLine("Done", "Copy", std::nullopt, "/", ":"), "Copy, Done");
    EXPECT_EQ(FormatLogLine("Done", "", std::nullopt, "/", ":"), "Done");
    EXPECT_EQ(FormatLogLine("Done", "", platform::LocalTime{2000, 12, 31, 23, 59, 0}, ".", "."),
              "31.12.00, 23.59.00, Done");
}

TEST(LogMessage, RunsWindowEventsAndTitlesOnlyAWindowGiven) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    lib_LogMessage("Cleaning up C:\\old", -1);  // as the jobs call it
    EXPECT_TRUE(screen.titles.empty());
    lib_LogMessage("Done", kMainWindow, false, "", false, "Copy");
    EXPECT_EQ(screen.titles[kMainWindow], "Copy, Done ");
    EXPECT_EQ(screen.events, (std::vector<std::string>{"events", "events"}));
}

}  // namespace
}  // namespace quillet
