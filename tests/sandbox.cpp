#include "sandbox.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

extern char** environ;

namespace quillet::end_to_end {

namespace fs = std::filesystem;

namespace {

// Variables of the test's own environment that would change how the program runs.
bool inherited(const std::string& entry) {
    static const std::array<const char*, 12> kDropped{
        "HOME=",       "XDG_DATA_HOME=", "TMPDIR=",       "DISPLAY=",   "WAYLAND_DISPLAY=", "QUILLET_",
        "FAKETIME",    "LD_PRELOAD=",    "ASAN_OPTIONS=", "WINEDEBUG=", "WINEDLLOVERRIDES=", "NO_FAKE_STAT="};
    return std::none_of(kDropped.begin(), kDropped.end(),
                        [&](const char* prefix) { return entry.starts_with(prefix); });
}

std::string asan_options(bool clock_faked) {
    const char* inherited_options = std::getenv("ASAN_OPTIONS");
    std::string options = inherited_options != nullptr ? inherited_options : "";
    // The fake clock is preloaded ahead of a sanitized program's runtime.
    if (clock_faked) options += std::string(options.empty() ? "" : ":") + "verify_asan_link_order=0";
    return options;
}

const char* wine_loader() {
    const char* loader = std::getenv("QUILLET_E2E_WINE");
    return loader != nullptr && *loader != '\0' ? loader : nullptr;
}

std::string program() {
    const char* named = std::getenv("QUILLET_E2E_PROGRAM");
    return named != nullptr && *named != '\0' ? named : QUILLET_BINARY;
}

// What a Windows program under Wine needs besides the sandbox's folders. Wine
// takes TEMP and TMP from the prefix, never from here: the prefix that
// tests/wine-session makes names %QUILLET_E2E_TEMP% there. Wine's own messages
// and its desktop menus stay out of the run.
void add_wine_environment(std::vector<std::string>& environment, const std::string& temporary_folder) {
    if (std::getenv("WINEPREFIX") == nullptr) {
        throw std::runtime_error("QUILLET_E2E_WINE needs WINEPREFIX, a prefix made by tests/wine-session");
    }
    environment.push_back("QUILLET_E2E_TEMP=" + temporary_folder);
    environment.push_back("WINEDEBUG=-all");
    environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
}

std::string without_carriage_returns(std::string text) {
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    return text;
}

class Pipe {
public:
    Pipe() {
        if (pipe(fds_) != 0) throw std::runtime_error("pipe failed");
    }
    ~Pipe() {
        close_read();
        close_write();
    }
    int read_end() const { return fds_[0]; }
    int write_end() const { return fds_[1]; }
    void close_read() { close_end(0); }
    void close_write() { close_end(1); }

private:
    void close_end(int which) {
        if (fds_[which] >= 0) close(fds_[which]);
        fds_[which] = -1;
    }
    int fds_[2];
};

void write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(fd, bytes.data() + done, bytes.size() - done);
        if (count <= 0) return;  // the program stopped reading
        done += static_cast<std::size_t>(count);
    }
}

// Reads both output pipes until the program has closed them.
void drain(Pipe& out, Pipe& err, Outcome& outcome) {
    std::array<pollfd, 2> polled{pollfd{out.read_end(), POLLIN, 0}, pollfd{err.read_end(), POLLIN, 0}};
    std::array<std::string*, 2> targets{&outcome.out, &outcome.err};
    int open_pipes = 2;
    while (open_pipes > 0) {
        if (poll(polled.data(), polled.size(), -1) < 0) continue;
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].fd < 0 || polled[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t count = read(polled[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                targets[i]->append(buffer, static_cast<std::size_t>(count));
            } else {
                polled[i].fd = -1;
                --open_pipes;
            }
        }
    }
}

}  // namespace

Sandbox::Sandbox() {
    // A program that ends before reading its input must not end the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    std::random_device random;
    const fs::path base = fs::canonical(fs::temp_directory_path());
    do {
        root_ = base / ("quillet-e2e-" + std::to_string(random()));
    } while (!fs::create_directory(root_));
    fs::create_directories(root_ / "home/.local/share");
    fs::create_directories(root_ / "tmp");
}

Sandbox::~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

fs::path Sandbox::native(const std::string& relative) const { return relative.empty() ? root_ : root_ / relative; }

std::string Sandbox::text(const std::string& relative) const {
    std::string text = "Z:" + native(relative).string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

void Sandbox::write(const std::string& relative, std::optional<std::string> content) const {
    const fs::path file = native(relative);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content.value_or(file.filename().string());
}

std::string Sandbox::read(const std::string& relative) const {
    std::ifstream file(native(relative), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

bool Sandbox::exists(const std::string& relative) const { return fs::exists(native(relative)); }

void Sandbox::make_folder(const std::string& relative) const { fs::create_directories(native(relative)); }

void Sandbox::set_write_time(const std::string& relative, const std::string& local_time) const {
    std::tm parts{};
    parts.tm_isdst = -1;
    if (std::sscanf(local_time.c_str(), "%d-%d-%d %d:%d", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                    &parts.tm_hour, &parts.tm_min) != 5) {
        throw std::invalid_argument("not a local time: " + local_time);
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    const auto moment = std::chrono::system_clock::from_time_t(std::mktime(&parts));
    fs::last_write_time(native(relative), std::chrono::file_clock::from_sys(moment));
}

std::vector<std::string> Sandbox::tree(const std::string& relative) const {
    std::vector<std::string> entries;
    const fs::path folder = native(relative);
    if (!fs::exists(folder)) return entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_directory()) name += '/';
        entries.push_back(name);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::vector<std::string> Sandbox::trashed() const {
    std::vector<std::string> names;
    const fs::path trash = root_ / "home/.local/share/Trash/files";
    if (!fs::exists(trash)) return names;
    for (const auto& entry : fs::directory_iterator(trash)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Sandbox::command_file(const std::string& relative, const std::vector<std::string>& lines) const {
    std::string content;
    for (const std::string& line : lines) content += line + "\r\n";
    write(relative, content);
    return text(relative);
}

Outcome Sandbox::run(const std::vector<std::string>& arguments, const RunOptions& options) const {
    std::vector<std::string> command = options.through;
    if (options.clock) command.insert(command.end(), {"faketime", "--exclude-monotonic", *options.clock});
    if (under_wine()) command.push_back(wine_loader());
    command.push_back(program());
    command.insert(command.end(), arguments.begin(), arguments.end());

    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        // Wine's loader finds the session's server through TMPDIR.
        if (inherited(*entry) || (under_wine() && std::string_view(*entry).starts_with("TMPDIR="))) {
            environment.emplace_back(*entry);
        }
    }
    environment.push_back("HOME=" + (root_ / "home").string());
    environment.push_back("XDG_DATA_HOME=" + (root_ / "home/.local/share").string());
    if (!under_wine()) environment.push_back("TMPDIR=" + (root_ / "tmp").string());
    environment.push_back("QUILLET_UI=console");
    environment.push_back("ASAN_OPTIONS=" + asan_options(options.clock.has_value()));
    // Only the clock is faked: file times read as the test set them (Wine reads
    // them with the stat calls that faketime would shift by its offset).
    if (options.clock) environment.push_back("NO_FAKE_STAT=1");
    if (under_wine()) add_wine_environment(environment, text("tmp"));
    if (options.shift) environment.push_back("QUILLET_SHIFT=1");
    for (const auto& [name, value] : options.environment) environment.push_back(name + "=" + value);

    std::vector<char*> argv;
    for (std::string& part : command) argv.push_back(part.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    Pipe in;
    Pipe out;
    Pipe err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.read_end(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.write_end(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write_end(), STDERR_FILENO);
    for (const int fd : {in.write_end(), out.read_end(), err.read_end()}) {
        posix_spawn_file_actions_addclose(&actions, fd);
    }
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error(std::string("cannot start the program: ") + std::strerror(spawned));

    in.close_read();
    out.close_write();
    err.close_write();
    write_all(in.write_end(), options.input);
    in.close_write();

    Outcome outcome;
    drain(out, err, outcome);
    int status = 0;
    waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (under_wine()) {
        // The console's text mode ends a Windows program's lines in CR LF.
        outcome.out = without_carriage_returns(outcome.out);
        outcome.err = without_carriage_returns(outcome.err);
    }
    return outcome;
}

bool under_wine() { return wine_loader() != nullptr; }

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

}  // namespace quillet::end_to_end
