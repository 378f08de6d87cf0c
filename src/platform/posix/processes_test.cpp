#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

TEST(Processes, StartInTheWorkingFolderWithoutInputAndKeepTheEndUntilClosed) {
    testing::ScratchFolder folder;
    const ProcessHandle process =
        start_process("sh", {"-c", "cat > got; printf '%s|' \"$@\" >> got; kill -TERM $$", "sh", "a b", ""},
                      folder.text());
    ASSERT_NE(process, 0);
    const auto status = wait_for_process(process, 10'000);
    ASSERT_TRUE(status && status->ended);
    EXPECT_EQ(status->exit_code, 128 + 15);
    EXPECT_EQ(folder.read("got"), "a b||");
    EXPECT_EQ(wait_for_process(process, 0)->exit_code, 128 + 15);
    close_process(process);
    EXPECT_FALSE(wait_for_process(process, 0).has_value());
}

TEST(Processes, ReportWhatCannotStart) {
    testing::ScratchFolder folder;
    EXPECT_EQ(start_process(folder.text("missing"), {}, ""), 0);
    EXPECT_EQ(last_error(), ENOENT);
    EXPECT_EQ(start_process("sh", {}, folder.text("no such folder")), 0);
    EXPECT_EQ(start_process("", {}, ""), 0);
    folder.write("plain.txt", "text");
    EXPECT_FALSE(is_program(folder.text("plain.txt")));
    EXPECT_TRUE(is_program(path_text("/bin/sh").value()));
}

}  // namespace
}  // namespace quillet::platform
