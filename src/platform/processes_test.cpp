#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

TEST(Processes, StartInTheWorkingFolderWithoutInputAndKeepTheEndUntilClosed) {
    testing::ScratchFolder folder;
#ifdef _WIN32
    // cmd reads the rest of its command line itself: "set /p" reads the input,
    // which is empty, so "got" holds only the folder that cd names.
    const ProcessHandle process = start_process("cmd.exe", {"/c", "set /p line= & cd > got & exit 7"}, folder.text());
    const std::string got = folder.text() + "\r\n";
    constexpr std::int32_t kExitCode = 7;
#else
    const ProcessHandle process =
        start_process("sh", {"-c", "cat > got; printf '%s|' \"$@\" >> got; kill -TERM $$", "sh", "a b", ""},
                      folder.text());
    const std::string got = "a b||";
    constexpr std::int32_t kExitCode = 128 + 15;
#endif
    ASSERT_NE(process, 0) << last_error();
    const auto status = wait_for_process(process, 20'000);
    ASSERT_TRUE(status && status->ended);
    EXPECT_EQ(status->exit_code, kExitCode);
    EXPECT_EQ(folder.read("got"), got);
    EXPECT_EQ(wait_for_process(process, 0)->exit_code, kExitCode);
    close_process(process);
    EXPECT_FALSE(wait_for_process(process, 0).has_value());
}

TEST(Processes, ReportWhatCannotStart) {
    testing::ScratchFolder folder;
    EXPECT_EQ(start_process(folder.text("missing.exe"), {}, ""), 0);
    EXPECT_EQ(last_error(), 2);  // ENOENT, and Windows' ERROR_FILE_NOT_FOUND
    EXPECT_EQ(start_process("no-such-program-anywhere", {}, ""), 0);
    EXPECT_EQ(start_process("", {}, ""), 0);
    folder.write("plain.txt", "text");
    EXPECT_FALSE(is_program(folder.text("plain.txt")));
    EXPECT_FALSE(is_program(folder.text()));
#ifdef _WIN32
    EXPECT_EQ(start_process("cmd.exe", {}, folder.text("no such folder")), 0);
    EXPECT_TRUE(is_program(std::string(std::getenv("SystemRoot")) + "\\System32\\cmd.exe"));
#else
    EXPECT_EQ(start_process("sh", {}, folder.text("no such folder")), 0);
    EXPECT_TRUE(is_program(path_text("/bin/sh").value()));
#endif
}

}  // namespace
}  // namespace quillet::platform
