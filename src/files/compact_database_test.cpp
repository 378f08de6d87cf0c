#include "files/compact_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "files/database_temp_names.h"
#include "support/databases.h"
#include "support/matchers.h"
#include "support/recording_user_side.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/numbers.h"
#include "text/vb_errors.h"

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

// Names in the folder that a compaction uses for its temporary files.
std::vector<std::string> temporaries(const ScratchFolder& folder) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(folder.native())) {
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, std::regex(R"(.*\.~[0-9][0-9].*)"))) found.push_back(name);
    }
    return found;
}

TEST(CompactDatabase, ReplacesTheTargetWithACompactedCopyThatHasTheSourcesTimes) {
    ScratchFolder sources;
    ScratchFolder snapshot;
    testing::make_database(sources.native("yearly.mdb"), 400);
    ASSERT_TRUE(platform::set_file_times(sources.text("yearly.mdb"), {0, kOldTime, kOldTime}));
    snapshot.write("yearly.mdb", "last year's snapshot");

    const std::string target = snapshot.text("yearly.mdb");
    EXPECT_FALSE(lib_CompactDatabase(user, sources.text("yearly.mdb"), target, false, "", true));  // no overwrite
    EXPECT_TRUE(lib_CompactDatabase(user, sources.text("yearly.mdb"), target, true, "", true));

    EXPECT_EQ(platform::file_times(target)->last_access, kOldTime);  // before reading it moves the access time
    EXPECT_EQ(platform::file_times(target)->last_write, kOldTime);
    EXPECT_EQ(testing::database_rows(snapshot.native("yearly.mdb")), "rows=200 sum=40000");
    const auto source_size = fs::file_size(sources.native("yearly.mdb"));
    EXPECT_LT(fs::file_size(snapshot.native("yearly.mdb")), source_size * 3 / 4);
    std::ifstream trashed(desktop.trashed("yearly.mdb"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(trashed), {}), "last year's snapshot");
    // The input copy is the compaction's own temporary, deleted for good.
    for (const auto& entry : fs::directory_iterator(desktop.trashed(""))) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("yearly.~")) << entry.path();
    }

    // In place, without a copy of the input first.
    EXPECT_TRUE(lib_CompactDatabase(user, sources.text("yearly.mdb"), "", true, "", false));
    EXPECT_LT(fs::file_size(sources.native("yearly.mdb")), source_size * 3 / 4);
    EXPECT_EQ(testing::database_rows(sources.native("yearly.mdb")), "rows=200 sum=40000");
    EXPECT_THAT(temporaries(sources), IsEmpty());
    EXPECT_THAT(temporaries(snapshot), IsEmpty());
}

TEST(CompactDatabase, RunsTheRegisteredProgramOnTemporaryNamesBesideTheTarget) {
    ScratchFolder sources;
    ScratchFolder snapshot;
    sources.write("ledger.qdb", "ledger");
    ASSERT_TRUE(platform::set_file_times(sources.text("ledger.qdb"), {0, kOldTime, kOldTime}));
    snapshot.write("snap shot/ledger.qdb", "old ledger");
    desktop.forget_arguments();

    const std::string target = snapshot.text("snap shot/ledger.qdb");
    EXPECT_TRUE(lib_CompactDatabase(user, sources.text("ledger.qdb"), target, true, "secret", true));
    EXPECT_EQ(platform::file_times(target)->last_write, kOldTime);

    // The input copy, "/compact", the output; both beside the target.
    const std::string stem = literal(snapshot.native("snap shot/ledger.~").string());
    EXPECT_THAT(desktop.compactor_arguments(),
                testing::MatchesExtendedRegex(stem + "[0-9][0-9]\n/compact\n" + stem + "[0-9][0-9]\n"));
    EXPECT_EQ(snapshot.read("snap shot/ledger.qdb"), "ledger");

    // The program ran but made nothing: the target stays as it was.
    sources.write("refused.qdb", "refuse");
    snapshot.write("refused.qdb", "kept");
    EXPECT_FALSE(
        lib_CompactDatabaseCL(user, sources.text("refused.qdb"), snapshot.text("refused.qdb"), true, "", true));
    EXPECT_EQ(snapshot.read("refused.qdb"), "kept");

    // No engine takes it and no program is registered for it: nothing is made.
    sources.write("report.mdb", "Standard Jet DB");
    EXPECT_FALSE(lib_CompactDatabase(user, sources.text("report.mdb"), snapshot.text("report.mdb"), true, "", true));
    EXPECT_FALSE(snapshot.exists("report.mdb"));
    EXPECT_THAT(temporaries(sources), IsEmpty());
    EXPECT_THAT(temporaries(snapshot), IsEmpty());
}

TEST(CompactDatabase, RaisesAnEngineFailureNamingTheDatabaseAndTheTemporaryOutput) {
    ScratchFolder sources;
    ScratchFolder snapshot;
    testing::make_database(sources.native("locked.mdb"), 10);
    snapshot.write("locked.mdb", "previous");
    try {
        lib_CompactDatabase(user, sources.text("locked.mdb"), snapshot.text("locked.mdb"), true, "secret", true);
        FAIL() << "the password was not refused";
    } catch (const Error& error) {
        EXPECT_EQ(error.source(), "lib_CompactDatabase");
        EXPECT_THAT(error.description(),
                    testing::MatchesExtendedRegex(".+\r\n\r\nDB=" + literal(sources.text("locked.mdb")) + "\r\nTemp=" +
                                                  literal(snapshot.text("locked")) + "\\.~[0-9][0-9]"));
    }
    EXPECT_EQ(snapshot.read("locked.mdb"), "previous");
    EXPECT_THAT(temporaries(sources), IsEmpty());
    EXPECT_THAT(temporaries(snapshot), IsEmpty());
}

TEST(TemporaryNames, DrawEachFreeNameOnceAndNoneThatIsTaken) {
    ScratchFolder folder;
    for (int number = 3; number < 100; ++number) folder.write("data.~" + two_digits(number), "");
    TemporaryNames names(folder.text("data.mdb"));
    const std::string taken = folder.text("data.~01");
    std::vector<std::string> drawn = {names.draw({taken}), names.draw({taken})};
    std::sort(drawn.begin(), drawn.end());
    EXPECT_THAT(drawn, ::testing::ElementsAre(folder.text("data.~00"), folder.text("data.~02")));
    try {
        names.draw({taken});
        FAIL() << "a name was drawn twice, or one that is taken";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), vb::kFileAlreadyExists);
    }
}

}  // namespace
}  // namespace quillet::lib_basFile
