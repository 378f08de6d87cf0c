#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

TEST(Processes, StartInTheWorkingFolderWithoutInputAndKeepTheEndUntilClosed) {
    testing::ScratchFolder folder;
    // cmd reads the rest of its command line itself: "set /p" reads the input,
    // which is empty, so "got" holds only the folder that cd names.
    const ProcessHandle process =
        start_process("cmd.exe", {"/c", "set /p line= & cd > got & exit 7"}, folder.text());
    ASSERT_NE(process, 0) << last_error();
    const auto status = wait_for_process(process, 20'000);
    ASSERT_TRUE(status && status->ended);
    EXPECT_EQ(status->exit_code, 7);
    EXPECT_EQ(folder.read("got"), folder.text() + "\r\n");
    EXPECT_EQ(wait_for_process(process, 0)->exit_code, 7);
    close_process(process);
    EXPECT_FALSE(wait_for_process(process, 0).has_value());
}

TEST(Processes, ReportWhatCannotStart) {
    testing::ScratchFolder folder;
    EXPECT_EQ(start_process(folder.text("missing.exe"), {}, ""), 0);
    EXPECT_EQ(last_error(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(start_process("no-such-program-anywhere", {}, ""), 0);
    EXPECT_EQ(start_process("cmd.exe", {}, folder.text("no such folder")), 0);
    EXPECT_EQ(start_process("", {}, ""), 0);
    folder.write("plain.txt", "text");
    EXPECT_FALSE(is_program(folder.text("plain.txt")));
    EXPECT_FALSE(is_program(folder.text()));
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(is_program(std::string(system, system + wcslen(system)) + "\\cmd.exe"));
}

}  // namespace
}  // namespace quillet::platform
