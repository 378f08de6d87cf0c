#include "files/run_application.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "files/find_executable.h"
#include "files/trapping.h"
#include "text/paths.h"
#include "text/tokenizer.h"
#include "text/unicode.h"

namespace quillet::lib_basFile {

namespace {

constexpr const char* kSource = "Base7.lib_RunApplication";
// How long one look at a running process waits before window events run again:
// short enough to keep the window alive, long enough not to spin.
constexpr std::int32_t kPollMilliseconds = 20;

struct Command {
    std::string program;
    std::vector<std::string> arguments;
};

Command split_command_line(const std::string& command_line) {
    const std::vector<std::string> parts =
        lib_basConversion::lib_GetLineParts3(command_line, lib_basConversion::kBlanksAndTabs);
    Command command;
    if (parts.empty()) return command;
    command.program = parts.front();
    command.arguments.assign(parts.begin() + 1, parts.end());
    return command;
}

bool runs_as_program(const std::string& program) {
    const std::string extension = unicode::to_upper(lib_basConversion::lib_GetFileExt(program));
    return extension.empty() || extension == "EXE" || platform::is_program(program);
}

// A program of this host knows nothing of drives: it gets the path they stand for.
// Not the "\\?\" form a long path takes for the libraries, which a program
// may not read: there the path as it is written.
std::string host_argument(const std::string& argument) {
    if (lib_basConversion::lib_GetDrive(argument).empty()) return argument;
    const std::string native = platform::native_path(argument).value_or(argument);
    return native.starts_with("\\\\?\\") ? argument : native;
}

std::int32_t wait_for_end(UserSide& user, platform::ProcessHandle process, std::int32_t timeout_seconds) {
    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    const auto limit = std::chrono::seconds(timeout_seconds);
    while (true) {
        user.do_events();
        if (lib_WaitForProcess(process, "", 0, kPollMilliseconds) != kWaitTimeout) break;
        if (timeout_seconds > 0 && Clock::now() - started >= limit) break;
    }
    const auto status = platform::wait_for_process(process, 0);
    return status && status->ended ? status->exit_code : kStillActive;
}

}  // namespace

std::optional<StartedProcess> lib_RunApplication(UserSide& user, const std::string& strCommandLine, bool blnWait,
                                                 bool blnCloseHandle, std::int16_t /*intShowWindow*/,
                                                 const std::string& strWorkDir, std::int32_t lngTimeOut) {
    return report_and_raise_again(user, kSource, "App:" + strCommandLine, [&]() -> std::optional<StartedProcess> {
        Command command = split_command_line(strCommandLine);
        if (command.program.empty()) return std::nullopt;
        if (!runs_as_program(command.program)) {
            const std::string program = lib_FindExecutable(command.program);
            if (program.empty()) return std::nullopt;
            command.arguments.insert(command.arguments.begin(), command.program);
            command.program = program;
        }
        std::vector<std::string> arguments;
        for (const std::string& argument : command.arguments) arguments.push_back(host_argument(argument));

        StartedProcess started;
        started.process = platform::start_process(command.program, arguments, strWorkDir);
        if (started.process == 0) return std::nullopt;
        if (blnWait) {
            started.exit_code = wait_for_end(user, started.process, lngTimeOut);
            platform::close_process(started.process);
        } else if (blnCloseHandle) {
            platform::close_process(started.process);
        }
        return started;
    });
}

std::int32_t lib_WaitForProcess(platform::ProcessHandle lngProcess, const std::string& /*strTitle*/,
                                std::int32_t /*lngUnused*/, std::int32_t lngMilliseconds) {
    if (lngProcess == 0) return kWaitFailed;
    const auto status =
        platform::wait_for_process(lngProcess, static_cast<std::uint32_t>(std::max<std::int32_t>(lngMilliseconds, 0)));
    if (!status) return kWaitFailed;
    return status->ended ? kWaitObject0 : kWaitTimeout;
}

}  // namespace quillet::lib_basFile
