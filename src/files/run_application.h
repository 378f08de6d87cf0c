#pragma once
// Starting a program from a command line, and waiting for it to end.

#include <cstdint>
#include <optional>
#include <string>

#include "files/user_side.h"
#include "platform/platform.h"

namespace quillet::lib_basFile {

// What lib_WaitForProcess returns: the process has ended, it still runs after the
// time given, or there is no such process to wait for.
inline constexpr std::int32_t kWaitObject0 = 0;
inline constexpr std::int32_t kWaitTimeout = 258;
inline constexpr std::int32_t kWaitFailed = -1;
// The exit code of a process that has not ended yet.
inline constexpr std::int32_t kStillActive = 259;
// Show-window modes.
inline constexpr std::int16_t kShowNormal = 1;

// A process that lib_RunApplication started: its handle, its main window (this
// host tells no window of another program's, so 0), and its exit code once it was
// waited for (kStillActive while it runs).
struct StartedProcess {
    platform::ProcessHandle process = 0;
    std::int32_t window = 0;
    std::int32_t exit_code = kStillActive;
};

// Starts the command line: its first part (double quotes honoured) names the
// program, the others are its arguments; an argument that is path text with a
// drive reaches the program as the host's path for it. A first part that is
// neither a program nor named ".exe" (nor without an extension) is a document,
// opened with the program registered for it. Empty when no process was started.
// intShowWindow has no effect on this host.
//
// With blnWait: lets window events run until the process ends or, with lngTimeOut
// above 0, that many seconds have passed; then its exit code is read and its
// handle closed. Without blnWait, the handle is closed at once with
// blnCloseHandle. A working folder of "" is ours. Run-time errors are reported
// with "App:" + the command line, and raised again.
std::optional<StartedProcess> lib_RunApplication(UserSide& user, const std::string& strCommandLine, bool blnWait,
                                                 bool blnCloseHandle, std::int16_t intShowWindow,
                                                 const std::string& strWorkDir, std::int32_t lngTimeOut);

// Waits up to lngMilliseconds for a started process: kWaitObject0 once it has
// ended, kWaitTimeout while it runs, kWaitFailed for a handle that names no process.
// Waiting for a window by its title (a handle of 0) is not served on this host:
// kWaitFailed. lngUnused is passed as 0.
std::int32_t lib_WaitForProcess(platform::ProcessHandle lngProcess, const std::string& strTitle,
                                std::int32_t lngUnused, std::int32_t lngMilliseconds);

}  // namespace quillet::lib_basFile
