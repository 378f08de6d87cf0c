// frmMain's dispatcher (command_dispatcher.h): one line at a time, and command
// files line by line.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "app/command_dispatcher.h"
#include "app/command_file_lines.h"
#include "app/trapped_error.h"
#include "files/existence.h"
#include "text/error.h"
#include "text/password_masking.h"
#include "text/tokenizer.h"
#include "text/unicode.h"
#include "ui/activity_report.h"
#include "ui/msgbox.h"
#include "ui/syntax.h"

namespace quillet {

namespace {

// A line holds ten tokens at most.
constexpr std::size_t kMostCommandParts = 10;

// What reading the first line of an empty file meets.
constexpr std::int32_t kInputPastEndOfFile = 62;

// A list of job lines is never this large; a file that is must be something else.
constexpr std::size_t kLargestCommandFile = 16 * 1024 * 1024;

// Lines this short cannot hold a command; they are skipped without a word.
constexpr std::size_t kShortestCommand = 3;

// Holds a command file among the running ones while its lines run.
class RunningFile {
public:
    RunningFile(std::vector<platform::FileIdentity>& running, const std::optional<platform::FileIdentity>& file)
        : running_(running), held_(file.has_value()) {
        if (held_) running_.push_back(*file);
    }
    ~RunningFile() {
        if (held_) running_.pop_back();
    }
    RunningFile(const RunningFile&) = delete;
    RunningFile& operator=(const RunningFile&) = delete;

private:
    std::vector<platform::FileIdentity>& running_;
    bool held_;
};

bool is_comment(std::string_view line) {
    return !line.empty() && std::string_view(";'#").find(line.front()) != std::string_view::npos;
}

}  // namespace

CommandDispatcher::CommandDispatcher(RunState& run, JobRunner job) : run_(run), job_(std::move(job)) {}

void CommandDispatcher::HandleCommandline(const std::string& strCommandline) {
    if (RunEnded()) return;
    try {
        if (is_comment(strCommandline)) return;
        const std::vector<std::string> CommandParts =
            lib_basConversion::lib_GetLineParts3(strCommandline, lib_basConversion::kBlanksAndTabs, kMostCommandParts);
        // Parts are trimmed: a first part of blanks alone is empty.
        if (CommandParts.empty() || CommandParts[0].empty()) {
            ShowSyntax();
            return;
        }
        // A path alone, or followed only by options, names a command file.
        if (CommandParts.size() < 2 || CommandParts[1].starts_with('/')) {
            HandleCommandlineA(CommandParts[0]);
            return;
        }
        job_(strCommandline, run_);
    } catch (...) {
        ReportTrappedError("HandleCommandLine()");
    }
}

void CommandDispatcher::HandleCommandlineA(const std::string& strPathfile) {
    try {
        // The path may be a whole job line whose quote was left open.
        const std::string shown = "Command File " + MaskPasswords(strPathfile, MaskedText::line_part);
        if (!lib_basFile::lib_FileExists(strPathfile)) {
            lib_MsgBoxError(shown + " -  not found");
            return;
        }
        const auto file = platform::file_identity(strPathfile);
        if (already_running(file)) {
            AddMessageAndLog(shown + " -  already running");
            return;
        }
        std::string bytes;
        switch (platform::read_regular_file(strPathfile, kLargestCommandFile, bytes)) {
            case platform::FileRead::read:
                break;
            case platform::FileRead::not_a_regular_file:
                lib_MsgBoxError(shown + " -  not found");
                return;
            case platform::FileRead::too_large:
                lib_MsgBoxError(shown + " -  too large (over 16 MiB)");
                return;
        }
        // A file that holds nothing but a byte order mark is as empty as one that holds nothing.
        const std::vector<std::string> lines = CommandFileLines(bytes);
        if (lines.empty()) throw Error(kInputPastEndOfFile, "HandleCommandLineA()", "Input past end of file");
        const RunningFile running(running_files_, file);
        run_lines(lines);
    } catch (...) {
        ReportTrappedError("HandleCommandLineA()");
    }
}

void CommandDispatcher::run_lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (RunEnded()) return;
        if (unicode::length(line) >= kShortestCommand) HandleCommandline(line);
    }
}

bool CommandDispatcher::already_running(const std::optional<platform::FileIdentity>& file) const {
    return file && std::find(running_files_.begin(), running_files_.end(), *file) != running_files_.end();
}

}  // namespace quillet
