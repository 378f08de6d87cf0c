// Process marks: "quillet-work", the process id, its start time in clock ticks
// after boot (from /proc/PID/stat) and the boot's id. An id alone is not enough:
// ids are handed out again, and a new process with the same id must not pass for
// the one that made a mark.

#include "platform/posix/process_marks.h"

#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

namespace quillet::platform::posix {

namespace {

constexpr std::string_view kMarkWord = "quillet-work";
// starttime is the 22nd field of /proc/PID/stat, the 20th after the command name.
constexpr int kFieldsToStartTime = 20;

std::optional<std::string> first_line(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line) || line.empty()) return std::nullopt;
    return line;
}

std::optional<std::string> boot_id() { return first_line("/proc/sys/kernel/random/boot_id"); }

// The command name in parentheses may hold blanks and parentheses itself: the
// fields that follow begin after the last ")".
std::optional<std::string> start_time(long pid) {
    const auto stat = first_line("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return std::nullopt;
    const std::size_t name_end = stat->rfind(')');
    if (name_end == std::string::npos) return std::nullopt;
    std::istringstream fields(stat->substr(name_end + 1));
    std::string field;
    for (int i = 0; i < kFieldsToStartTime; ++i) {
        if (!(fields >> field)) return std::nullopt;
    }
    return field;
}

struct Mark {
    long pid = 0;
    std::string start;
    std::string boot;
};

std::optional<Mark> read_mark(std::string_view text) {
    std::istringstream words{std::string(text)};
    std::string word;
    Mark mark;
    if (!(words >> word) || word != kMarkWord || !(words >> mark.pid >> mark.start >> mark.boot)) return std::nullopt;
    if (mark.pid <= 0 || words >> word) return std::nullopt;
    return mark;
}

}  // namespace

std::string current_process_mark() {
    const long pid = static_cast<long>(::getpid());
    return std::string(kMarkWord) + " " + std::to_string(pid) + " " + start_time(pid).value_or("?") + " " +
           boot_id().value_or("?") + "\n";
}

MarkedProcess marked_process(std::string_view text) {
    const auto mark = read_mark(text);
    const auto this_boot = boot_id();
    if (!mark || !this_boot || mark->start == "?" || mark->boot == "?") return MarkedProcess::unknown;
    if (mark->boot != *this_boot) return MarkedProcess::gone;
    const auto started = start_time(mark->pid);
    return started && *started == mark->start ? MarkedProcess::lives : MarkedProcess::gone;
}

}  // namespace quillet::platform::posix
