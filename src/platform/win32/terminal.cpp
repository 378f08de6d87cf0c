// The console. A standard stream is a terminal when it is a console handle. Text
// reaches the console as UTF-8: the program sets the console's output code page
// to UTF-8 for as long as it runs, so that the console front end's UTF-8 streams
// show as written (pipes and files get the bytes unchanged). Input from the
// console is read as UTF-16 (ReadConsoleW) and handed on as UTF-8.

#include <windows.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/interruption.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// UTF-8 on the console from start-up to exit; the console's code page outlives
// the program (it belongs to the console window), so it is put back.
class Utf8Console {
public:
    Utf8Console() : saved_(GetConsoleOutputCP()) {
        if (saved_ != 0) SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (saved_ != 0) SetConsoleOutputCP(saved_);
    }
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    UINT saved_;
};
const Utf8Console utf8_console;

HANDLE handle_of(StandardStream stream) {
    switch (stream) {
        case StandardStream::input:
            return GetStdHandle(STD_INPUT_HANDLE);
        case StandardStream::output:
            return GetStdHandle(STD_OUTPUT_HANDLE);
        case StandardStream::error:
            break;
    }
    return GetStdHandle(STD_ERROR_HANDLE);
}

bool is_console(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// Turns the console's echo off for as long as it lives; a no-op elsewhere.
class EchoOff {
public:
    EchoOff(HANDLE input, bool wanted) : input_(input) {
        if (!wanted || !GetConsoleMode(input_, &saved_)) return;
        // An interruption while the password is typed must not leave the console mute.
        win32::restore_console_mode_if_interrupted(&saved_);
        active_ = SetConsoleMode(input_, saved_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != 0;
        if (!active_) win32::restore_console_mode_if_interrupted(nullptr);
    }
    ~EchoOff() {
        if (!active_) return;
        SetConsoleMode(input_, saved_);
        win32::restore_console_mode_if_interrupted(nullptr);
    }
    EchoOff(const EchoOff&) = delete;
    EchoOff& operator=(const EchoOff&) = delete;

private:
    HANDLE input_;
    DWORD saved_ = 0;
    bool active_ = false;
};

// One line typed on the console. The console hands over a whole line at a time
// and keeps the rest for the next read, so reading one unit at a time takes
// nothing after the line. Ctrl+Z at the start of a line is the end of input.
std::optional<std::string> console_line(HANDLE input) {
    std::wstring line;
    bool read_any = false;
    for (;;) {
        wchar_t c = 0;
        DWORD got = 0;
        if (!ReadConsoleW(input, &c, 1, &got, nullptr) || got == 0) break;
        if (!read_any && c == L'\x1a') return std::nullopt;
        read_any = true;
        if (c == L'\n') break;
        line.push_back(c);
    }
    if (!read_any) return std::nullopt;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    return win32::utf8(line);
}

// One line from a pipe or a file, byte by byte, so that nothing after the line is
// taken from the input.
std::optional<std::string> byte_line(HANDLE input) {
    std::string line;
    bool read_any = false;
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!ReadFile(input, &c, 1, &got, nullptr) || got == 0) break;
        read_any = true;
        if (c == '\n') break;
        line.push_back(c);
    }
    if (!read_any) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

bool is_terminal(StandardStream stream) { return is_console(handle_of(stream)); }

std::optional<int> terminal_columns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return std::nullopt;
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    if (columns <= 0) return std::nullopt;
    return columns;
}

std::optional<std::string> read_input_line(bool hide_typing) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!is_console(input)) return byte_line(input);
    const EchoOff echo_off(input, hide_typing);
    return console_line(input);
}

}  // namespace quillet::platform
