#include "job/snapshot_naming.h"

#include <gtest/gtest.h>

#include "text/error.h"

namespace quillet {
namespace {

// 2024-03-05 at 14:37:59.
constexpr Date kMoment = 45356.0 + (14 * 3600 + 37 * 60 + 59) / 86400.0;

TEST(RoundedMinuteOfDay, RoundsDownToTheStepOrUpForANegativeOne) {
    EXPECT_EQ(RoundedMinuteOfDay(9 * 60 + 5, 1), 9 * 60 + 5);
    EXPECT_EQ(RoundedMinuteOfDay(9 * 60 + 59, 60), 9 * 60);
    EXPECT_EQ(RoundedMinuteOfDay(20, 7), 14);
    EXPECT_EQ(RoundedMinuteOfDay(9 * 60 + 5, -10), 9 * 60 + 10);
    EXPECT_EQ(RoundedMinuteOfDay(23 * 60 + 55, -10), 24 * 60);
    EXPECT_EQ(RoundedMinuteOfDay(23 * 60 + 55, 32767), 0);
    EXPECT_THROW(RoundedMinuteOfDay(23 * 60 + 55, -32768), Error);  // 32768 minutes
}

TEST(DatedFolderName, HasFixedWidthsAndTheCommentInBrackets) {
    EXPECT_EQ(DatedFolderName(kMoment, 14 * 60 + 30, "weekly"), "2024-03-05   14.30   (weekly)");
    EXPECT_EQ(DatedFolderName(kMoment, 9 * 60 + 5, ""), "2024-03-05   09.05");
    EXPECT_EQ(DatedFolderName(kMoment, 24 * 60, ""), "2024-03-05   24.00");
    EXPECT_EQ(DatedFolderName(kMoment, 0, "  "), "2024-03-05   00.00   (  )");
}

struct LayoutCase {
    std::int16_t layout;
    const char* target;
    const char* parent;
};

class NameSnapshotTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(NameSnapshotTest, ComposesTheLayoutWithTheAddOn) {
    JobOptions options;
    options.SourceSpec = R"(F:\Apps\YearlyData\*.*)";
    options.TargetDir = R"(C:\MyBackup)";
    options.RoundMinutes = 15;
    options.AddonDir = "Extra";
    options.FolderLayout = GetParam().layout;
    NameSnapshot(options, "", kMoment);

    EXPECT_EQ(options.FilePattern, "*.*");
    EXPECT_EQ(options.SourceDir, R"(F:\Apps\YearlyData)");
    EXPECT_EQ(options.SourceSubdirName, "YearlyData");
    EXPECT_EQ(options.MinuteOfDay, 14 * 60 + 30);
    EXPECT_EQ(options.DatedName, "2024-03-05   14.30");
    EXPECT_EQ(options.TargetDir, GetParam().target);
    EXPECT_EQ(options.SnapshotParent, GetParam().parent);
}

INSTANTIATE_TEST_SUITE_P(
    EveryLayout, NameSnapshotTest,
    ::testing::Values(
        LayoutCase{1, R"(C:\MyBackup\YearlyData\2024-03-05   14.30\Extra)", R"(C:\MyBackup\YearlyData)"},
        LayoutCase{2, R"(C:\MyBackup\2024-03-05   14.30\YearlyData\Extra)", R"(C:\MyBackup)"},
        LayoutCase{3, R"(C:\MyBackup\YearlyData\Extra)", ""},
        LayoutCase{4, R"(C:\MyBackup\2024-03-05   14.30\Extra)", R"(C:\MyBackup)"},
        LayoutCase{5, R"(C:\MyBackup\Extra)", ""}, LayoutCase{7, R"(C:\MyBackup\Extra)", ""},
        LayoutCase{-1, R"(C:\MyBackup\Extra)", ""}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        const int layout = info.param.layout;
        return (layout < 0 ? "LayoutMinus" : "Layout") + std::to_string(layout < 0 ? -layout : layout);
    });

TEST(NameSnapshot, ASourceInADriveRootHasNoSubfolderName) {
    JobOptions options;
    options.SourceSpec = R"(F:\*.*)";
    options.TargetDir = R"(C:\MyBackup)";
    NameSnapshot(options, "weekly", kMoment);
    EXPECT_EQ(options.SourceDir, "F:");
    EXPECT_EQ(options.SourceSubdirName, "");
    EXPECT_EQ(options.SnapshotParent, R"(C:\MyBackup)");
    EXPECT_EQ(options.TargetDir, R"(C:\MyBackup\2024-03-05   14.37   (weekly))");

    options.SourceSpec = R"(F:\Apps)";  // the last component is always the pattern
    options.TargetDir = R"(C:\MyBackup)";
    options.FolderLayout = 3;
    NameSnapshot(options, "", kMoment);
    EXPECT_EQ(options.FilePattern, "Apps");
    EXPECT_EQ(options.TargetDir, R"(C:\MyBackup)");
}

}  // namespace
}  // namespace quillet
