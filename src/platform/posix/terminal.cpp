// The terminal: its width, and questions asked and answered at it, the typing
// hidden for a password.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"
#include "platform/posix/interruption.h"

namespace quillet::platform {

namespace {

int descriptor_of(StandardStream stream) {
    switch (stream) {
        case StandardStream::input:
            return STDIN_FILENO;
        case StandardStream::output:
            return STDOUT_FILENO;
        case StandardStream::error:
            break;
    }
    return STDERR_FILENO;
}

// Turns the terminal's echo off for as long as it lives; a no-op elsewhere.
class EchoOff {
public:
    explicit EchoOff(bool wanted) {
        if (!wanted || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        termios quiet = saved_;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        // An interruption while the password is typed must not leave the terminal mute.
        posix::restore_terminal_if_interrupted(&saved_);
        active_ = tcsetattr(STDIN_FILENO, TCSANOW, &quiet) == 0;
        if (!active_) posix::restore_terminal_if_interrupted(nullptr);
    }
    ~EchoOff() {
        if (!active_) return;
        tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
        posix::restore_terminal_if_interrupted(nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

}  // namespace

bool is_terminal(StandardStream stream) { return isatty(descriptor_of(stream)) == 1; }

std::optional<int> terminal_columns() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return std::nullopt;
    return static_cast<int>(size.ws_col);
}

std::optional<std::string> read_input_line(bool hide_typing) {
    const EchoOff echo_off(hide_typing);
    std::string line;
    bool read_any = false;
    // Byte by byte, so that nothing after the line is taken from the input.
    for (;;) {
        char c = 0;
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        read_any = true;
        if (c == '\n') break;
        line.push_back(c);
    }
    if (!read_any) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void show_at_input_terminal(std::string_view text) {
    // A terminal is most often open for writing as well; else it is the session's.
    if (::write(STDIN_FILENO, text.data(), text.size()) == static_cast<ssize_t>(text.size())) return;
    const int terminal = ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) return;
    [[maybe_unused]] const ssize_t written = ::write(terminal, text.data(), text.size());
    ::close(terminal);
}

}  // namespace quillet::platform
