#include "files/compact_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "files/database_temp_names.h"
#include "support/databases.h"
#include "support/recording_user_side.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;
using testing::TestDesktop;

const TestDesktop& desktop = TestDesktop::get();
testing::RecordingUserSide user;

// 2001-09-09, as a file time.
constexpr platform::FileTime kOldTime = platform::kUnixEpochFileTime + 1'000'000'000LL * 10'000'000;

void make_old(const std::string& path_text) {
    ASSERT_TRUE(platform::set_file_times(path_text, {0, kOldTime, kOldTime}));
}

void expect_old(const std::string& path_text) {
    const auto times = platform::file_times(path_text);
    ASSERT_TRUE(times);
    EXPECT_EQ(times->last_write, kOldTime);
    EXPECT_EQ(times->last_access, kOldTime);
}

// Names in the folder that a compaction uses for its temporary files.
std::vector<std::string> temporaries(const ScratchFolder& folder) {
    std::vector<std::string> found;
    static const std::regex temporary(R"(.*\.~[0-9][0-9].*)");
    for (const auto& entry : fs::recursive_directory_iterator(folder.native())) {
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, temporary)) found.push_back(name);
    }
    return found;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(CompactDatabase, ReplacesTheTargetWithACompactedCopyThatHasTheSourcesTimes) {
    ScratchFolder sources;
    ScratchFolder snapshot;
    testing::make_database(sources.native("yearly.mdb"), 400);
    make_old(sources.text("yearly.mdb"));
    snapshot.write("yearly.mdb", "last year's snapshot");

    const std::string target = snapshot.text("yearly.mdb");
    EXPECT_TRUE(lib_CompactDatabase(user, sources.text("yearly.mdb"), target, true, "", true));

    expect_old(target);  // before reading it moves the access time
    EXPECT_EQ(testing::database_rows(snapshot.native("yearly.mdb")), "rows=200 sum=40000");
    EXPECT_LT(fs::file_size(snapshot.native("yearly.mdb")), fs::file_size(sources.native("yearly.mdb")) * 3 / 4);
    EXPECT_THAT(temporaries(sources), ::testing::IsEmpty());
    EXPECT_THAT(temporaries(snapshot), ::testing::IsEmpty());
    std::ifstream trashed(desktop.trashed("yearly.mdb"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(trashed), {}), "last year's snapshot");
    // The input copy is the compaction's own temporary, deleted for good.
    for (const auto& entry : fs::directory_iterator(desktop.trashed(""))) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("yearly.~")) << entry.path();
    }
}

TEST(CompactDatabase, CompactsInPlaceWhenNoTargetIsGivenAndKeepsATargetWithoutOverwrite) {
    ScratchFolder folder;
    testing::make_database(folder.native("inplace.mdb"), 400);
    const auto size_before = fs::file_size(folder.native("inplace.mdb"));

    EXPECT_FALSE(lib_CompactDatabase(user, folder.text("inplace.mdb"), "", false, "", true));
    EXPECT_EQ(fs::file_size(folder.native("inplace.mdb")), size_before);

    EXPECT_TRUE(lib_CompactDatabase(user, folder.text("inplace.mdb"), "", true, "", false));
    EXPECT_LT(fs::file_size(folder.native("inplace.mdb")), size_before);
    EXPECT_EQ(testing::database_rows(folder.native("inplace.mdb")), "rows=200 sum=40000");
    EXPECT_EQ(fs::file_size(desktop.trashed("inplace.mdb")), size_before);
    EXPECT_THAT(temporaries(folder), ::testing::IsEmpty());
}

TEST(CompactDatabase, LeavesAFileNoEngineTakesToTheCopyWhenNoProgramIsRegistered) {
    ScratchFolder sources;
    ScratchFolder snapshot;
    sources.write("report.mdb", "Standard Jet DB");
    EXPECT_FALSE(lib_CompactDatabase(user, sources.text("report.mdb"), snapshot.text("report.mdb"), true, "", true));
    EXPECT_FALSE(snapshot.exists("report.mdb"));
    EXPECT_THAT(temporaries(sources), ::testing::IsEmpty());
    EXPECT_THAT(temporaries(snapshot), ::testing::IsEmpty());
}

TEST(CompactDatabase, RunsTheRegisteredProgramOnTemporaryNamesBesideTheTarget) {
    ScratchFolder sources;
    ScratchFolder snapshot;
    sources.write("ledger.qdb", "ledger");
    make_old(sources.text("ledger.qdb"));
    snapshot.write("snap shot/ledger.qdb", "old ledger");
    desktop.forget_arguments();

    const std::string target = snapshot.text("snap shot/ledger.qdb");
    EXPECT_TRUE(lib_CompactDatabase(user, sources.text("ledger.qdb"), target, true, "secret", true));
    expect_old(target);

    // The input copy, " /compact ", the output; both beside the target, each its own.
    const std::vector<std::string> arguments = lines_of(desktop.compactor_arguments());
    ASSERT_EQ(arguments.size(), 3u);
    const std::string stem = snapshot.native("snap shot/ledger.~").string();
    EXPECT_THAT(arguments[0], ::testing::MatchesRegex(stem + "[0-9][0-9]"));
    EXPECT_EQ(arguments[1], "/compact");
    EXPECT_THAT(arguments[2], ::testing::MatchesRegex(stem + "[0-9][0-9]"));
    EXPECT_NE(arguments[0], arguments[2]);
    EXPECT_EQ(snapshot.read("snap shot/ledger.qdb"), "ledger");
    EXPECT_THAT(temporaries(snapshot), ::testing::IsEmpty());

    // The program ran but made nothing: the target stays as it was.
    sources.write("refused.qdb", "refuse");
    snapshot.write("refused.qdb", "kept");
    EXPECT_FALSE(
        lib_CompactDatabaseCL(user, sources.text("refused.qdb"), snapshot.text("refused.qdb"), true, "", true));
    EXPECT_EQ(snapshot.read("refused.qdb"), "kept");
    EXPECT_THAT(temporaries(snapshot), ::testing::IsEmpty());
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
        const std::string database = "\r\n\r\nDB=" + sources.text("locked.mdb") + "\r\nTemp=";
        const std::size_t at = error.description().find(database);
        ASSERT_NE(at, std::string::npos) << error.description();
        EXPECT_GT(at, 0u);
        EXPECT_THAT(error.description().substr(at + database.size()),
                    ::testing::MatchesRegex(std::regex_replace(snapshot.text("locked"), std::regex(R"([\\.])"),
                                                               R"(\$&)") +
                                            "\\.~[0-9][0-9]"));
    }
    EXPECT_EQ(snapshot.read("locked.mdb"), "previous");
    EXPECT_THAT(temporaries(sources), ::testing::IsEmpty());
    EXPECT_THAT(temporaries(snapshot), ::testing::IsEmpty());
}

TEST(CompactDatabase, QuotesProgramInputAndOutputOnTheCommandLine) {
    EXPECT_EQ(CompactCommandLine("C:\\Office\\msaccess.exe", "D:\\snap\\data.~12", "D:\\snap\\data.~34"),
              "\"C:\\Office\\msaccess.exe\" \"D:\\snap\\data.~12\" /compact \"D:\\snap\\data.~34\"");
}

TEST(TemporaryNames, DrawEachFreeNameOnceAndNoneThatIsTaken) {
    ScratchFolder folder;
    for (int number = 3; number < 100; ++number) {
        folder.write("data.~" + std::string(number < 10 ? "0" : "") + std::to_string(number), "");
    }
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
