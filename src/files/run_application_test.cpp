#include "files/run_application.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/databases.h"
#include "files/find_executable.h"
#include "support/recording_user_side.h"

namespace quillet::lib_basFile {
namespace {

using testing::ScratchFolder;

const testing::TestDesktop& desktop = testing::TestDesktop::get();
testing::RecordingUserSide user;

std::optional<StartedProcess> run(const std::string& command_line) {
    return lib_RunApplication(user, command_line, true, true, kShowNormal, "", 0);
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
    // In the root of a drive the document's folder holds no backslash: no program is looked for.
    testing::set_environment("QUILLET_DRIVES", "Q:=" + testing::utf8(folder.native()));
    EXPECT_EQ(lib_FindExecutable("Q:\\notes.qdb"), "");
    testing::unset_environment("QUILLET_DRIVES");
}

}  // namespace
}  // namespace quillet::lib_basFile
