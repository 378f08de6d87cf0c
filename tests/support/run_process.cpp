#include "support/run_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace quillet::testing {

namespace {

constexpr auto kTimeLimit = std::chrono::seconds(20);

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
        read = ends[0];
        write = ends[1];
    }
};

std::vector<char*> c_strings(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Looks the program up on PATH when it names no folder.
pid_t spawn(std::vector<std::string> arguments, std::vector<std::string> environment, int in, int out, int err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in, 0);
    posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_adddup2(&actions, err, 2);
    auto argv = c_strings(arguments);
    auto envp = c_strings(environment);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + arguments[0]);
    return child;
}

// This process's environment without the program's own variables, and `extra`.
std::vector<std::string> inherited_environment(const std::vector<std::string>& extra) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!std::string_view(*entry).starts_with("QUILLET_")) environment.emplace_back(*entry);
    }
    environment.insert(environment.end(), extra.begin(), extra.end());
    return environment;
}

// Reads what is there; false at the end of the stream.
bool drain(int fd, std::string& into) {
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) into.append(buffer, static_cast<std::size_t>(got));
    return got > 0 || (got < 0 && errno == EINTR);
}

// The exit status, or 128 and the signal's number, as a shell tells them.
int wait_for(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // the program has stopped reading
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Without a deadline the run may take as long as it takes.
ProcessResult run_on_pipes(const std::vector<std::string>& args, const std::string& input,
                           const std::vector<std::string>& environment,
                           std::optional<std::chrono::steady_clock::time_point> deadline) {
    Pipe in, out, err;
    const pid_t child = spawn(args, environment, in.read, out.write, err.write);
    for (const int child_end : {in.read, out.write, err.write}) close(child_end);
    write_all(in.write, input);  // small enough for the pipe's buffer
    close(in.write);

    ProcessResult result;
    pollfd watched[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
    std::string* into[2] = {&result.out, &result.err};
    int open_streams = 2;
    while (open_streams > 0 && (!deadline || std::chrono::steady_clock::now() < *deadline)) {
        if (poll(watched, 2, 100) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].fd >= 0 && watched[i].revents != 0 && !drain(watched[i].fd, *into[i])) {
                close(watched[i].fd);
                watched[i].fd = -1;
                --open_streams;
            }
        }
    }
    if (open_streams > 0) kill(child, SIGKILL);
    result.status = wait_for(child);
    return result;
}

}  // namespace

ProcessResult RunWithPipes(const std::vector<std::string>& args, const std::string& input,
                           const std::vector<std::string>& environment) {
    return run_on_pipes(args, input, inherited_environment(environment), std::chrono::steady_clock::now() + kTimeLimit);
}

ProcessResult RunInEnvironment(const std::vector<std::string>& args, const std::string& input,
                               const std::vector<std::string>& environment) {
    return run_on_pipes(args, input, environment, std::nullopt);
}

ProcessResult RunOnTerminal(const std::vector<std::string>& args, const std::vector<Keystrokes>& keystrokes,
                            unsigned short columns) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) throw std::runtime_error("no terminal");
    const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) throw std::runtime_error("no terminal");
    winsize size{};
    size.ws_col = columns;
    size.ws_row = columns == 0 ? 0 : 24;
    ioctl(master, TIOCSWINSZ, &size);

    Pipe out;
    const pid_t child = spawn(args, inherited_environment({}), terminal, out.write, terminal);
    close(out.write);

    ProcessResult result;
    std::size_t next = 0;
    std::size_t seen_up_to = 0;
    pollfd watched[2] = {{out.read, POLLIN, 0}, {master, POLLIN, 0}};
    const auto deadline = std::chrono::steady_clock::now() + kTimeLimit;
    // The terminal stays open on our side, so the program's end shows on its
    // standard output alone.
    while (watched[0].fd >= 0 && std::chrono::steady_clock::now() < deadline) {
        poll(watched, 2, 20);
        if (watched[0].revents != 0 && !drain(out.read, result.out)) {
            close(out.read);
            watched[0].fd = -1;
        }
        if (watched[1].revents != 0) drain(master, result.err);
        if (next < keystrokes.size()) {
            const Keystrokes& due = keystrokes[next];
            const std::size_t shown = result.err.find(due.after, seen_up_to);
            termios mode{};
            tcgetattr(master, &mode);
            if (shown != std::string::npos && (!due.unechoed || (mode.c_lflag & ECHO) == 0)) {
                write_all(master, due.type);
                seen_up_to = shown + due.after.size();
                ++next;
            }
        }
    }
    if (watched[0].fd >= 0) kill(child, SIGKILL);
    result.status = wait_for(child);
    // What the program wrote last may still be in the terminal.
    pollfd rest{master, POLLIN, 0};
    while (poll(&rest, 1, 50) > 0 && drain(master, result.err)) {
    }
    close(terminal);
    close(master);
    return result;
}

}  // namespace quillet::testing
