#include "files/run_application.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/databases.h"
#include "files/find_executable.h"
#include "support/recording_user_side.h"
#include "platform/platform.h"

namespace quillet::lib_basFile {
namespace {

using testing::ScratchFolder;

const testing::TestDesktop& desktop = testing::TestDesktop::get();
testing::RecordingUserSide user;

std::optional<StartedProcess> run(const std::string& command_line, bool wait = true, std::int32_t time_out = 0) {
    return lib_RunApplication(user, command_line, wait, true, kShowNormal, "", time_out);
}

TEST(RunApplication, PassesQuotedArgumentsWithPathTextAsHostPathsAndReadsTheExitCode) {
    ScratchFolder folder;
    folder.write("tool", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/got\"\nexit 7\n");
    std::filesystem::permissions(folder.native("tool"), std::filesystem::perms::owner_all);

    const auto done = run("  \"" + folder.text("tool") + "\" \"" + folder.text("a file") + "\" /compact plain  ");
    ASSERT_TRUE(done);
    EXPECT_EQ(done->exit_code, 7);
    EXPECT_EQ(folder.read("got"), folder.native("a file").string() + "\n/compact\nplain\n");
    // Waited for, the process is closed: there is nothing left to wait for.
    EXPECT_EQ(lib_WaitForProcess(done->process, "", 0, 0), kWaitFailed);

    // A document opens with its registered program; with none, nothing starts and nothing fails.
    folder.write("notes.qdb", "text");
    folder.write("data.mdb", "text");
    desktop.forget_arguments();
    EXPECT_TRUE(run("\"" + folder.text("notes.qdb") + "\" extra"));
    EXPECT_EQ(desktop.compactor_arguments(), folder.native("notes.qdb").string() + "\nextra\n");
    EXPECT_FALSE(run("\"" + folder.text("data.mdb") + "\""));
    EXPECT_FALSE(run("\"" + folder.text("missing") + "\" x"));
    EXPECT_FALSE(run("   "));
}

TEST(RunApplication, StopsWaitingAtTheTimeOutOrWhenAskedNotToWait) {
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    const auto timed_out = run("sleep 3", true, 1);
    ASSERT_TRUE(timed_out);
    EXPECT_EQ(timed_out->exit_code, kStillActive);
    const auto not_waited = run("sleep 3", false);
    ASSERT_TRUE(not_waited);
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(lib_WaitForProcess(not_waited->process, "", 0, 0), kWaitFailed);  // closed at once
    EXPECT_EQ(lib_WaitForProcess(0, "title", 0, 0), kWaitFailed);
}

TEST(FindExecutable, NamesTheProgramRegisteredForTheFileOutsideADriveRoot) {
    ScratchFolder folder;
    folder.write("notes.qdb", "text");
    EXPECT_EQ(lib_FindExecutable(folder.text("notes.qdb")), platform::path_text(desktop.compactor().string()));
    EXPECT_EQ(lib_FindExecutable(folder.text("missing.qdb")), "");

    // The same file in the root of a drive: its folder holds no backslash.
    testing::set_environment("QUILLET_DRIVES", "Q:=" + testing::utf8(folder.native()));
    EXPECT_EQ(lib_FindExecutable("Q:\\notes.qdb"), "");
    testing::unset_environment("QUILLET_DRIVES");
}

}  // namespace
}  // namespace quillet::lib_basFile
