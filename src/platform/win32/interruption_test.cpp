// A run that hangs while it holds what the clean-up needs still ends on a second
// console event: Ctrl+Break twice is never ignored. The hanging run is this test
// program again, started in a process group of its own on the same console.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/win32/running_program.h"
#include "platform/win32/wide_text.h"
#include "support/files.h"
#include "support/wine.h"

namespace quillet::platform {
namespace {

constexpr const char* kChildVariable = "QUILLET_TEST_HANGING_RUN";

// The children below are disabled, so that the test runner does not start a Wine
// process for each of them; the tests that need them start them by name.
constexpr const char* kRunDisabled = "--gtest_also_run_disabled_tests";

// In the child: says so by making the file that the variable names, then hangs
// inside a step that an interruption must not split.
TEST(Interruption, DISABLED_HangingRun) {
    const auto ready = environment_variable(kChildVariable);
    if (!ready) GTEST_SKIP() << "only run by ASecondEventEndsARunThatCannotBeCleanedUp";
    watch_for_interruption();
    without_interruption([&] {
        append_line_to_file(*ready, "hanging");
        for (;;) Sleep(INFINITE);
    });
}

bool ended_within(HANDLE process, DWORD milliseconds) { return WaitForSingleObject(process, milliseconds) == 0; }

void end_process(HANDLE process) {
    TerminateProcess(process, 1);
    CloseHandle(process);
}

TEST(Interruption, ASecondEventEndsARunThatCannotBeCleanedUp) {
    // Console events reach only the processes of one console; a program that has
    // one already is refused another.
    if (!AllocConsole() && GetLastError() != ERROR_ACCESS_DENIED) GTEST_SKIP() << "no console to send events on";
    testing::ScratchFolder folder;
    const std::string ready = folder.text("ready");
    SetEnvironmentVariableW(win32::wide(kChildVariable).c_str(), win32::wide(ready).c_str());
    std::wstring command_line = L"\"" + win32::running_program_path() +
                                L"\" --gtest_filter=Interruption.DISABLED_HangingRun " + win32::wide(kRunDisabled);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE,
                                        CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &child);
    SetEnvironmentVariableW(win32::wide(kChildVariable).c_str(), nullptr);
    ASSERT_TRUE(started);
    CloseHandle(child.hThread);
    // The started run, ended whatever the test's outcome.
    const std::unique_ptr<void, void (*)(HANDLE)> process(child.hProcess, end_process);
    for (int wait = 0; wait < 1000 && !folder.exists("ready"); ++wait) Sleep(10);
    ASSERT_TRUE(folder.exists("ready")) << "the run did not start";

    if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child.dwProcessId)) {
        if (testing::running_under_wine()) GTEST_SKIP() << "Wine sends no console events without a terminal";
        FAIL() << "no console event could be sent: " << GetLastError();
    }
    EXPECT_FALSE(ended_within(child.hProcess, 300)) << "the clean-up did not wait for the step";
    ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child.dwProcessId));
    ASSERT_TRUE(ended_within(child.hProcess, 5000)) << "the second event was ignored";
    DWORD exit_code = 0;
    GetExitCodeProcess(child.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 128u + 21);
}

constexpr const char* kWaitingRunVariable = "QUILLET_TEST_WAITING_RUN";
constexpr const char* kSleeperVariable = "QUILLET_TEST_SLEEPER";

std::string this_program() { return win32::utf8(win32::running_program_path()); }

// In the grandchild: the program that the run waits for.
TEST(Interruption, DISABLED_SleepingProgram) {
    if (!environment_variable(kSleeperVariable)) GTEST_SKIP() << "only run by StopsTheProgramTheRunWaitsFor";
    Sleep(60'000);
}

// In the child: a run that starts that program, names it in the file that the
// variable names, and ends as an interrupted run ends while it waits for it.
TEST(Interruption, DISABLED_RunWaitingForAProgram) {
    const auto named = environment_variable(kWaitingRunVariable);
    if (!named) GTEST_SKIP() << "only run by StopsTheProgramTheRunWaitsFor";
    SetEnvironmentVariableW(win32::wide(kSleeperVariable).c_str(), L"1");
    const ProcessHandle program =
        start_process(this_program(), {"--gtest_filter=Interruption.DISABLED_SleepingProgram", kRunDisabled}, "");
    append_line_to_file(*named, std::to_string(program));
    end_interrupted_run(3, "a test");
}

// A program that the run waits for ends with it: left going, it could write into
// a folder after the clean-up.
TEST(Interruption, StopsTheProgramTheRunWaitsFor) {
    testing::ScratchFolder folder;
    SetEnvironmentVariableW(win32::wide(kWaitingRunVariable).c_str(), win32::wide(folder.text("program")).c_str());
    const ProcessHandle run =
        start_process(this_program(), {"--gtest_filter=Interruption.DISABLED_RunWaitingForAProgram", kRunDisabled}, "");
    SetEnvironmentVariableW(win32::wide(kWaitingRunVariable).c_str(), nullptr);
    ASSERT_NE(run, 0);
    const auto ended = wait_for_process(run, 20'000);
    close_process(run);
    ASSERT_TRUE(ended && ended->ended);
    EXPECT_EQ(ended->exit_code, 3);
    const auto program = static_cast<DWORD>(std::stoul(folder.read("program")));
    ASSERT_NE(program, 0u);
    const HANDLE left = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, program);
    if (left == nullptr) return;  // gone already
    EXPECT_EQ(WaitForSingleObject(left, 0), WAIT_OBJECT_0) << "the program goes on after the run";
    TerminateProcess(left, 1);
    CloseHandle(left);
}

}  // namespace
}  // namespace quillet::platform
