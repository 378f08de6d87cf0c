#include "sandbox.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iomanip>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "support/run_process.h"

extern char** environ;

namespace quillet::end_to_end {

namespace fs = std::filesystem;

namespace {

// Variables of the test's own environment that would change how the program runs.
// Wine's loader finds the session's server through TMPDIR.
bool inherited(const std::string& entry) {
    static const std::array<const char*, 12> kDropped{
        "HOME=",    "XDG_DATA_HOME=", "TMPDIR=",       "DISPLAY=",   "WAYLAND_DISPLAY=",  "QUILLET_",
        "FAKETIME", "LD_PRELOAD=",    "ASAN_OPTIONS=", "WINEDEBUG=", "WINEDLLOVERRIDES=", "NO_FAKE_STAT="};
    if (under_wine() && entry.starts_with("TMPDIR=")) return true;
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

// A variable of the test's environment; null when it is unset or empty.
const char* setting(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

const char* wine_loader() { return setting("QUILLET_E2E_WINE"); }

// What a Windows program under Wine needs besides the sandbox's folders. Wine
// takes TEMP and TMP from the prefix, never from here: the prefix that
// tests/wine-session makes names %QUILLET_E2E_TEMP% there. Wine's own messages
// and its desktop menus stay out of the run.
void add_wine_environment(Lines& environment, const std::string& temporary_folder) {
    if (std::getenv("WINEPREFIX") == nullptr) {
        throw std::runtime_error("QUILLET_E2E_WINE needs WINEPREFIX, a prefix made by tests/wine-session");
    }
    environment.push_back("QUILLET_E2E_TEMP=" + temporary_folder);
    environment.push_back("WINEDEBUG=-all");
    environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
}

std::string without_carriage_returns(const std::string& text) {
    return std::regex_replace(text, std::regex("\r\n"), "\n");
}

}  // namespace

Sandbox::Sandbox() : ScratchFolder("e2e") {
    // A program that ends before reading its input must not end the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    make_folder("home/.local/share");
    make_folder("tmp");
}

std::string Sandbox::text(const std::string& relative) const {
    std::string text = "Z:" + native(relative).string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

void Sandbox::set_write_time(const std::string& relative, const std::string& local_time) const {
    std::tm parts{};
    parts.tm_isdst = -1;
    std::istringstream(local_time) >> std::get_time(&parts, "%Y-%m-%d %H:%M");
    const auto moment = std::chrono::system_clock::from_time_t(std::mktime(&parts));
    fs::last_write_time(native(relative), std::chrono::file_clock::from_sys(moment));
}

Lines Sandbox::tree(const std::string& relative) const {
    Lines entries;
    const fs::path folder = native(relative);
    if (!fs::exists(folder)) return entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        entries.push_back(fs::relative(entry.path(), folder).string() + (entry.is_directory() ? "/" : ""));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

Lines Sandbox::names(const std::string& relative) const {
    Lines names;
    std::error_code error;
    for (fs::directory_iterator entry(native(relative), error), end; !error && entry != end; entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Outcome Sandbox::run(const Lines& arguments, const RunOptions& options) const {
    Lines command = options.through;
    if (options.clock) command.insert(command.end(), {"faketime", "--exclude-monotonic", *options.clock});
    if (under_wine()) command.push_back(wine_loader());
    command.push_back(setting("QUILLET_E2E_PROGRAM") != nullptr ? setting("QUILLET_E2E_PROGRAM") : QUILLET_BINARY);
    command.insert(command.end(), arguments.begin(), arguments.end());

    Lines environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (inherited(*entry)) environment.emplace_back(*entry);
    }
    environment.push_back("HOME=" + native("home").string());
    environment.push_back("XDG_DATA_HOME=" + native("home/.local/share").string());
    if (!under_wine()) environment.push_back("TMPDIR=" + native("tmp").string());
    environment.push_back("QUILLET_UI=console");
    environment.push_back("ASAN_OPTIONS=" + asan_options(options.clock.has_value()));
    // Only the clock is faked: file times read as the test set them (Wine reads
    // them with the stat calls that faketime would shift by its offset).
    if (options.clock) environment.push_back("NO_FAKE_STAT=1");
    if (under_wine()) add_wine_environment(environment, text("tmp"));
    if (options.shift) environment.push_back("QUILLET_SHIFT=1");

    const testing::ProcessResult ran = testing::RunInEnvironment(command, options.input, environment);
    // The console's text mode ends a Windows program's lines in CR LF.
    if (under_wine()) return {ran.status, without_carriage_returns(ran.out), without_carriage_returns(ran.err)};
    return {ran.status, ran.out, ran.err};
}

bool under_wine() { return wine_loader() != nullptr; }

Lines lines_of(const std::string& text) {
    Lines lines;
    std::stringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

}  // namespace quillet::end_to_end
