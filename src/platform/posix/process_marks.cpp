// Process marks: "quillet-work", the process id, its start time in clock ticks
// after boot (from /proc/PID/stat), the boot's id, the machine's id and the
// identity of the process id namespace. An id alone is not enough: ids are handed
// out again, and a new process with the same id must not pass for the one that
// made a mark. A folder in a temporary folder shared with another machine or
// container may be a live run's: only where this process can look its id up,
// on this machine and in this namespace, can it tell that run is gone.

#include "platform/posix/process_marks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <optional>
#include <sstream>

namespace quillet::platform::posix {

namespace {

constexpr std::string_view kMarkWord = "quillet-work";
constexpr std::string_view kUnknown = "?";
// starttime is the 22nd field of /proc/PID/stat, the 20th after the command name.
constexpr int kFieldsToStartTime = 20;

std::optional<std::string> first_line(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line) || line.empty()) return std::nullopt;
    return line;
}

// One word of a mark: a value with a blank in it cannot be told from the next field.
std::optional<std::string> as_word(std::optional<std::string> value) {
    if (!value || value->find_first_of(" \t") != std::string::npos) return std::nullopt;
    return value;
}

std::optional<std::string> boot_id() { return as_word(first_line("/proc/sys/kernel/random/boot_id")); }

std::optional<std::string> host_name() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return std::nullopt;
    return std::string(name);
}

std::optional<std::string> machine_id() {
    auto id = as_word(first_line("/etc/machine-id"));
    return id ? id : as_word(host_name());
}

std::optional<std::string> pid_namespace() {
    struct stat info {};
    if (::stat("/proc/self/ns/pid", &info) != 0) return std::nullopt;
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
}

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
    std::string machine;
    std::string pid_namespace;
};

// A mark without every field (one written by an older version) is not a mark.
std::optional<Mark> read_mark(std::string_view text) {
    std::istringstream words{std::string(text)};
    std::string word;
    Mark mark;
    if (!(words >> word) || word != kMarkWord ||
        !(words >> mark.pid >> mark.start >> mark.boot >> mark.machine >> mark.pid_namespace)) {
        return std::nullopt;
    }
    if (mark.pid <= 0 || words >> word) return std::nullopt;
    for (const std::string* field : {&mark.start, &mark.boot, &mark.machine, &mark.pid_namespace}) {
        if (*field == kUnknown) return std::nullopt;
    }
    return mark;
}

}  // namespace

std::string current_process_mark() {
    const long pid = static_cast<long>(::getpid());
    const std::string unknown(kUnknown);
    return std::string(kMarkWord) + " " + std::to_string(pid) + " " + start_time(pid).value_or(unknown) + " " +
           boot_id().value_or(unknown) + " " + machine_id().value_or(unknown) + " " +
           pid_namespace().value_or(unknown) + "\n";
}

MarkedProcess marked_process(std::string_view text) {
    const auto mark = read_mark(text);
    if (!mark || mark->machine != machine_id() || mark->pid_namespace != pid_namespace()) return MarkedProcess::unknown;
    const auto this_boot = boot_id();
    if (!this_boot) return MarkedProcess::unknown;
    if (mark->boot != *this_boot) return MarkedProcess::gone;
    const auto started = start_time(mark->pid);
    return started && *started == mark->start ? MarkedProcess::lives : MarkedProcess::gone;
}

}  // namespace quillet::platform::posix
