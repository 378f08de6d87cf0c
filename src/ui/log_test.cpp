#include "ui/log.h"

#include <gtest/gtest.h>

#include "text/error.h"
#include "ui/recording_front_end.h"

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

TEST(LogMessage, AsTheJobsCallItOnlyWindowEventsRun) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    lib_LogMessage("Cleaning up C:\\old", -1);
    EXPECT_EQ(screen.events, std::vector<std::string>{"events"});
    EXPECT_TRUE(screen.titles.empty());
}

TEST(LogMessage, AWindowGivenShowsTheLineAsItsTitle) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    lib_LogMessage("Done", kMainWindow, false, "", false, "Copy");
    EXPECT_EQ(screen.titles[kMainWindow], "Copy, Done ");
    EXPECT_EQ(screen.event_runs, 1);
}

TEST(LogMessage, AnUnwritableLogFileRaisesTheFileError) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    EXPECT_THROW(lib_LogMessage("Done", std::nullopt, false, "Z:\\no such folder\\q\\log.txt"), Error);
}

TEST(Ticks, ReachedAlsoAcrossTheCountersWrap) {
    EXPECT_TRUE(TickReached(100, 100));
    EXPECT_TRUE(TickReached(101, 100));
    EXPECT_FALSE(TickReached(99, 100));
    const std::uint32_t end = 0xFFFFFFF0u + 0x20u;  // wrapped to 0x10
    EXPECT_FALSE(TickReached(0xFFFFFFF0u, end));
    EXPECT_FALSE(TickReached(0xFFFFFFFFu, end));
    EXPECT_TRUE(TickReached(0x10u, end));
    EXPECT_TRUE(TickReached(0x11u, end));
}

TEST(Wait, RunsWindowEventsAtLeastOnceAndWaitsLongEnough) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    lib_Wait(0);
    EXPECT_EQ(screen.event_runs, 1);
    const std::uint32_t start = platform::tick_count();
    lib_Wait(30);
    EXPECT_GE(platform::tick_count() - start, 30u);
}

}  // namespace
}  // namespace quillet
