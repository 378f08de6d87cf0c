#include "ui/log.h"

#include <gtest/gtest.h>

#include <regex>

#include "text/error.h"
#include "support/files.h"
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

TEST(LogMessage, EachLineIsAppendedToTheLogFileAndAnUnwritableOneRaises) {
    testing::RecordingFrontEnd screen;
    const FrontEndScope installed(screen);
    const testing::ScratchFolder disk("log");
    lib_LogMessage("Started", std::nullopt, false, disk.text("run.log"), false, "Copy");
    lib_LogMessage("Done", std::nullopt, false, disk.text("run.log"), true);
    const std::string d = platform::date_separator();
    const std::string t = platform::time_separator();
    // The host's line end: LF on POSIX hosts, CR LF on Windows.
    const std::regex expected("Copy, Started\r?\n\\d\\d[" + d + "]\\d\\d[" + d + "]\\d\\d, \\d\\d[" + t +
                              "]\\d\\d[" + t + "]\\d\\d, Done\r?\n");
    EXPECT_TRUE(std::regex_match(disk.read("run.log"), expected)) << disk.read("run.log");
    EXPECT_THROW(lib_LogMessage("Done", std::nullopt, false, disk.text() + "\\no such folder\\log.txt"), Error);
}

TEST(Ticks, ReachedAlsoAcrossTheCountersWrap) {
    EXPECT_TRUE(TickReached(100, 100));
    EXPECT_FALSE(TickReached(99, 100));
    const std::uint32_t end = 0xFFFFFFF0u + 0x20u;  // wrapped to 0x10
    EXPECT_FALSE(TickReached(0xFFFFFFF0u, end));
    EXPECT_FALSE(TickReached(0xFFFFFFFFu, end));
    EXPECT_TRUE(TickReached(0x10u, end));
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
