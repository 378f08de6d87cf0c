#include "files/compact_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "files/temporary_names.h"
#include "platform/platform.h"
#include "support/databases.h"
#include "support/matchers.h"
#include "support/recording_user_side.h"
#include "support/unit_checks.h"
#include "text/error.h"
#include "text/numbers.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using ::testing::IsEmpty;
using testing::ScratchFolder;

const testing::TestDesktop& desktop = testing::TestDesktop::get();
testing::RecordingUserSide user;

// 2001-09-09, as a file time.
constexpr platform::FileTime kOldTime = platform::kUnixEpochFileTime + 1'000'000'000LL * 10'000'000;

// Path text as a regular expression that matches it alone.
std::string literal(const std::string& text) { return std::regex_replace(text, std::regex(R"([\\.])"), R"(\$&)"); }

TEST(CompactDatabase, ReplacesTheTargetWithACompactedCopyThatHasTheSourcesTimes) {
    ScratchFolder disk;
    testing::make_database(disk.native("yearly.mdb"), 400);
    ASSERT_TRUE(platform::set_file_times(disk.text("yearly.mdb"), {0, kOldTime, kOldTime}));
    disk.write("bak/yearly.mdb", "last year's snapshot");

    const std::string target = disk.text("bak/yearly.mdb");
    EXPECT_TRUE(lib_CompactDatabase(user, disk.text("yearly.mdb"), target, true, "", true));
    EXPECT_EQ(platform::file_times(target)->last_access, kOldTime);  // before reading it moves the access time
    EXPECT_EQ(platform::file_times(target)->last_write, kOldTime);
    // The rows it keeps are the SQLite engine's tests' and the end-to-end Copying tests'.
    EXPECT_EQ(testing::file_bytes(desktop.trashed("yearly.mdb")), "last year's snapshot");
    // The input copy is the compaction's own temporary, deleted for good.
    for (const auto& entry : fs::directory_iterator(desktop.trashed(""))) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("yearly.~")) << entry.path();
    }
    EXPECT_THAT(testing::temporaries(disk.native()), IsEmpty());
}

TEST(CompactDatabase, RunsTheRegisteredProgramOnTemporaryNamesInAFolderBesideTheTarget) {
    ScratchFolder disk;
    disk.write("src/ledger.qdb", "ledger");
    ASSERT_TRUE(platform::set_file_times(disk.text("src/ledger.qdb"), {0, kOldTime, kOldTime}));
    disk.write("snap shot/ledger.qdb", "old ledger");
    desktop.forget_arguments();

    const std::string target = disk.text("snap shot/ledger.qdb");
    EXPECT_TRUE(lib_CompactDatabase(user, disk.text("src/ledger.qdb"), target, true, "secret", true));
    EXPECT_EQ(platform::file_times(target)->last_write, kOldTime);

    // The input copy, "/compact", the output; both in the compaction's own folder
    // beside the target, which is gone afterwards.
    const std::string stem = literal(disk.native("snap shot/").string()) + "qdb[0-9A-F]+" +
                             literal((fs::path("/") / "ledger.~").make_preferred().string());
    EXPECT_THAT(desktop.compactor_arguments(),
                testing::MatchesExtendedRegex(stem + "[0-9][0-9]\n/compact\n" + stem + "[0-9][0-9]\n"));
    EXPECT_EQ(disk.read("snap shot/ledger.qdb"), "ledger");

    // The program ran but made nothing: the target stays as it was.
    disk.write("src/refused.qdb", "refuse");
    disk.write("bak/refused.qdb", "kept");
    EXPECT_FALSE(
        lib_CompactDatabaseCL(user, disk.text("src/refused.qdb"), disk.text("bak/refused.qdb"), true, "", true));
    EXPECT_EQ(disk.read("bak/refused.qdb"), "kept");

    // No engine takes it and no program is registered for it: CopyPassTest.FiltersCompactsAndRefusesDuplicates.
    // In the root of a drive the database's folder holds no backslash: no program is looked for.
    testing::set_environment("QUILLET_DRIVES", "Q:=" + testing::utf8(disk.native("src")));
    EXPECT_FALSE(lib_CompactDatabase(user, "Q:\\ledger.qdb", disk.text("bak/root.qdb"), true, "", true));
    testing::unset_environment("QUILLET_DRIVES");
    EXPECT_FALSE(disk.exists("bak/root.qdb"));
    EXPECT_THAT(testing::temporaries(disk.native()), IsEmpty());
}

TEST(CompactDatabase, RaisesAnEngineFailureNamingTheDatabaseAndTheTemporaryOutput) {
    ScratchFolder disk;
    testing::make_database(disk.native("locked.mdb"), 10);
    disk.write("bak/locked.mdb", "previous");
    const auto error = testing::raised(
        [&] { lib_CompactDatabase(user, disk.text("locked.mdb"), disk.text("bak/locked.mdb"), true, "secret", true); });
    EXPECT_THAT(
        testing::described(error),
        testing::MatchesExtendedRegex("-?[0-9]+ lib_CompactDatabase: .+\r\n\r\nDB=" + literal(disk.text("locked.mdb")) +
                                      "\r\nTemp=" + literal(disk.text("bak")) + "\\\\qdb[0-9A-F]+\\\\locked\\.~[0-9][0-9]"));
    EXPECT_THAT(testing::described(error), ::testing::Not(::testing::HasSubstr("secret")));
    EXPECT_EQ(disk.read("bak/locked.mdb"), "previous");
    EXPECT_THAT(testing::temporaries(disk.native()), IsEmpty());

    // A compacted copy that cannot take its name (a link to nothing stands there) is
    // kept where the error says: the old target may be in the trash by then.
    std::error_code no_links;
    fs::create_symlink(disk.native("nothing"), disk.native("bak/linked.mdb"), no_links);
    if (no_links) GTEST_SKIP() << "no links here: " << no_links.message();
    testing::make_database(disk.native("linked.mdb"), 10);
    const std::string kept = testing::described(testing::raised(
        [&] { lib_CompactDatabase(user, disk.text("linked.mdb"), disk.text("bak/linked.mdb"), true, "", true); }));
    const std::size_t temp = kept.find("Temp=");
    ASSERT_NE(temp, std::string::npos) << kept;
    const std::string output = kept.substr(temp + 5);
    EXPECT_TRUE(platform::attributes(output)) << kept;
    // Nothing else: the input copy is gone.
    const fs::path folder = fs::path(*platform::native_path(output)).parent_path();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1) << kept;
}

TEST(TemporaryNames, DrawEachFreeNameOnceAndNoneThatIsTaken) {
    ScratchFolder folder;
    for (int number = 3; number < 100; ++number) folder.write("data.~" + two_digits(number), "");
    TemporaryNames names(folder.text("data.mdb"));
    const std::string taken = folder.text("data.~01");
    EXPECT_THAT((std::vector<std::string>{names.draw({taken}), names.draw({taken})}),
                ::testing::UnorderedElementsAre(folder.text("data.~00"), folder.text("data.~02")));
    EXPECT_EQ(testing::described(testing::raised([&] { names.draw({taken}); })), "58 : File already exists");
}

}  // namespace
}  // namespace quillet::lib_basFile
