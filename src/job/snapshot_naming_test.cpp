#include "job/snapshot_naming.h"

#include <gtest/gtest.h>

#include "text/error.h"

namespace quillet {
namespace {

// 2024-03-05 at 14:37:59.
constexpr Date kMoment = 45356.0 + (14 * 3600 + 37 * 60 + 59) / 86400.0;

TEST(RoundedMinuteOfDay, RoundsDownToTheStepOrUpForANegativeOne) {
    EXPECT_EQ(RoundedMinuteOfDay(20, 7), 14);
    EXPECT_EQ(RoundedMinuteOfDay(23 * 60 + 55, -10), 24 * 60);
    EXPECT_EQ(RoundedMinuteOfDay(23 * 60 + 55, 32767), 0);
    EXPECT_THROW(RoundedMinuteOfDay(23 * 60 + 55, -32768), Error);  // 32768 minutes
}

TEST(DatedFolderName, HasFixedWidthsAndAnyCommentInBrackets) {
    EXPECT_EQ(DatedFolderName(kMoment, 9 * 60 + 5, ""), "2024-03-05   09.05");
    EXPECT_EQ(DatedFolderName(kMoment, 24 * 60, "  "), "2024-03-05   24.00   (  )");
}

struct LayoutCase {
    std::int16_t layout;
    const char* folder;
    const char* parent;
};

TEST(NameSnapshot, ComposesEveryLayoutWithTheAddOn) {
    const LayoutCase cases[] = {
        {1, R"(C:\MyBackup\YearlyData\2024-03-05   14.30\Extra)", R"(C:\MyBackup\YearlyData)"},
        {2, R"(C:\MyBackup\2024-03-05   14.30\YearlyData\Extra)", R"(C:\MyBackup)"},
        {3, R"(C:\MyBackup\YearlyData\Extra)", ""},
        {4, R"(C:\MyBackup\2024-03-05   14.30\Extra)", R"(C:\MyBackup)"},
        {5, R"(C:\MyBackup\Extra)", ""},
        {7, R"(C:\MyBackup\Extra)", ""},
    };
    JobOptions options;
    options.SourceSpec = R"(F:\Apps\YearlyData\*.*)";
    options.TargetDir = R"(C:\MyBackup)";
    options.RoundMinutes = 15;
    options.AddonDir = "Extra";
    for (const LayoutCase& c : cases) {
        options.FolderLayout = c.layout;
        const SnapshotPlan plan = NameSnapshot(options, "", kMoment);
        EXPECT_EQ(plan.SnapshotFolder, c.folder) << c.layout;
        EXPECT_EQ(plan.SnapshotParent, c.parent) << c.layout;
    }
    const SnapshotPlan plan = NameSnapshot(options, "", kMoment);
    EXPECT_EQ(plan.FilePattern + " " + plan.SourceDir + " " + plan.SourceSubdirName + " " + plan.DatedName,
              R"(*.* F:\Apps\YearlyData YearlyData 2024-03-05   14.30)");
}

TEST(NameSnapshot, ASourceInADriveRootHasNoSubfolderName) {
    JobOptions options;
    options.SourceSpec = R"(F:\*.*)";
    options.TargetDir = R"(C:\MyBackup)";
    const SnapshotPlan in_root = NameSnapshot(options, "weekly", kMoment);
    EXPECT_EQ(in_root.SourceDir, "F:");
    EXPECT_EQ(in_root.SourceSubdirName, "");
    EXPECT_EQ(in_root.SnapshotParent, R"(C:\MyBackup)");
    EXPECT_EQ(in_root.SnapshotFolder, R"(C:\MyBackup\2024-03-05   14.37   (weekly))");

    options.SourceSpec = R"(F:\Apps)";  // the last component is always the pattern
    options.FolderLayout = 3;
    const SnapshotPlan pattern_only = NameSnapshot(options, "", kMoment);
    EXPECT_EQ(pattern_only.FilePattern, "Apps");
    EXPECT_EQ(pattern_only.SnapshotFolder, R"(C:\MyBackup)");

    options.SourceSpec = R"(F:\Apps/Data/*.txt)";  // no name holds a "/"
    const SnapshotPlan slashed = NameSnapshot(options, "", kMoment);
    EXPECT_EQ(slashed.FilePattern + " " + slashed.SourceDir, R"(*.txt F:\Apps\Data)");
}

}  // namespace
}  // namespace quillet
