#include <cstddef>
#include <string_view>

#include "app/command_dispatcher.h"
#include "app/trapped_error.h"
#include "text/tokenizer.h"
#include "ui/syntax.h"

namespace quillet {

namespace {

// A line holds ten tokens at most.
constexpr std::size_t kMostCommandParts = 10;

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

}  // namespace quillet
