// A run that hangs while it holds what the clean-up needs still ends on a second
// signal: Ctrl-C twice, or a second SIGTERM, is never ignored.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <thread>

#include "platform/platform.h"

namespace quillet::platform {
namespace {

using namespace std::chrono_literals;

// The child's wait status once it has ended, waiting no longer than the limit.
std::optional<int> ended_within(pid_t child, std::chrono::milliseconds limit) {
    const auto give_up = std::chrono::steady_clock::now() + limit;
    do {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return status;
        std::this_thread::sleep_for(5ms);
    } while (std::chrono::steady_clock::now() < give_up);
    return std::nullopt;
}

// A child process whose run hangs inside a step that an interruption must not
// split, as on a mount that stopped answering; it says so on the pipe first.
pid_t start_hanging_run(int ready) {
    const pid_t child = fork();
    if (child != 0) return child;
    watch_for_interruption();
    without_interruption([ready] {
        [[maybe_unused]] const ssize_t written = write(ready, "!", 1);
        while (true) pause();
    });
    _exit(0);
}

TEST(Interruption, ASecondSignalEndsARunThatCannotBeCleanedUp) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = start_hanging_run(ready[1]);
    ASSERT_GT(child, 0);
    char said = 0;
    ASSERT_EQ(read(ready[0], &said, 1), 1);

    ASSERT_EQ(kill(child, SIGTERM), 0);
    EXPECT_FALSE(ended_within(child, 300ms)) << "the clean-up did not wait for the step";
    ASSERT_EQ(kill(child, SIGTERM), 0);
    const auto status = ended_within(child, 5s);
    if (!status) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    ASSERT_TRUE(status) << "the second signal was ignored";
    EXPECT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 128 + SIGTERM);
    close(ready[0]);
    close(ready[1]);
}

// A program that the run waits for ends with it: left going, it could write into
// a folder after the clean-up.
TEST(Interruption, StopsTheProgramTheRunWaitsFor) {
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    const pid_t child = fork();
    if (child == 0) {
        watch_for_interruption();
        const ProcessHandle program = start_process("sleep", {"60"}, "");
        [[maybe_unused]] const ssize_t written = write(started[1], &program, sizeof program);
        wait_for_process(program, 60'000);
        std::exit(0);  // as the run's end would, while the clean-up goes on
    }
    ProcessHandle program = 0;
    ASSERT_EQ(read(started[0], &program, sizeof program), static_cast<ssize_t>(sizeof program));
    ASSERT_GT(program, 0);

    // The status of a run ended so is the end-to-end Interruption tests'.
    ASSERT_EQ(kill(child, SIGTERM), 0);
    ASSERT_TRUE(ended_within(child, 5s));
    EXPECT_NE(kill(program, 0), 0) << "the program goes on after the run";
    kill(program, SIGKILL);
    close(started[0]);
    close(started[1]);
}

}  // namespace
}  // namespace quillet::platform
