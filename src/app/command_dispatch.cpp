#include <cstdint>
#include <string_view>

#include "app/command_dispatcher.h"
#include "app/trapped_error.h"
#include "text/tokenizer.h"
#include "ui/syntax.h"

namespace quillet {

namespace {

// Tokens are stored from index 1, so a line holds at most 10 of them.
constexpr std::size_t kCommandPartsBound = 10;

bool is_comment(std::string_view line) {
    return !line.empty() && std::string_view(";'#").find(line.front()) != std::string_view::npos;
}

bool is_blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

CommandDispatcher::CommandDispatcher(RunState& run, JobRunner job) : run_(run), job_(std::move(job)) {}

void CommandDispatcher::HandleCommandline(std::string& strCommandline) {
    if (RunEnded()) return;
    try {
        if (is_comment(strCommandline)) return;
        std::vector<std::string> CommandParts(kCommandPartsBound + 1);
        const std::int16_t count = lib_basConversion::split_at_blanks(strCommandline, CommandParts);
        if (is_blank(CommandParts[1])) {
            ShowSyntax();
            return;
        }
        // A path alone, or followed only by options, names a command file.
        if (count < 2 || CommandParts[2].starts_with('/')) {
            HandleCommandlineA(CommandParts[1]);
            return;
        }
        job_(strCommandline, run_);
    } catch (...) {
        ReportTrappedError("HandleCommandLine()");
    }
}

}  // namespace quillet
