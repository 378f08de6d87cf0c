#pragma once
// frmMain's dispatcher: tells a comment line, a request for the syntax, a command
// file and a single job apart, and runs command files line by line.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "job/run_state.h"
#include "platform/platform.h"

namespace quillet {

// Runs one snapshot job from its whole command line (HandleCommandLineS).
using JobRunner = std::function<void(const std::string& strCommandline, RunState& run)>;

class CommandDispatcher {
public:
    CommandDispatcher(RunState& run, JobRunner job);

    // One line: the program's command line or a line of a command file. Errors are
    // reported as "HandleCommandLine()" and end the line.
    void HandleCommandline(const std::string& strCommandline);
    // Runs every line of a command file through HandleCommandline. Errors are
    // reported as "HandleCommandLineA()" and end the file.
    void HandleCommandlineA(const std::string& strPathfile);

    // A job asked the main window to unload, which ends the whole run.
    bool RunEnded() const { return run_.UnloadRequested; }

private:
    void run_lines(const std::vector<std::string>& lines);
    bool already_running(const std::optional<platform::FileIdentity>& file) const;

    RunState& run_;
    JobRunner job_;
    // The command files being run now, outermost first: a file among them that is
    // named again would run itself without end.
    std::vector<platform::FileIdentity> running_files_;
};

}  // namespace quillet
