// The console. A standard stream is a terminal when it is a console handle. The
// console front end writes UTF-8 to std::cout and std::cerr; where they are
// consoles their bytes go through WriteConsoleW as UTF-16 instead of through the C
// runtime, which would read them in the ANSI code page (and Wine's, a byte at a
// time). The console also gets ENABLE_VIRTUAL_TERMINAL_PROCESSING, for the
// activity line's "erase to the end of the line", until the program ends. Pipes
// and files get the bytes unchanged. Input from the console is read as UTF-16
// (ReadConsoleW) and handed on as UTF-8.

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <streambuf>
#include <string>

#include "platform/platform.h"
#include "platform/win32/interruption.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// The bytes at the end of a buffer that begin a UTF-8 sequence which is not
// complete yet: they wait for the rest before anything is written.
std::size_t incomplete_tail(const char* bytes, std::size_t size) {
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + sizeof buffer_); }

protected:
    int_type overflow(int_type c) override {
        if (!write_complete()) return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override { return write_complete() ? 0 : -1; }

private:
    bool write_complete() {
        const auto size = static_cast<std::size_t>(pptr() - pbase());
        const std::size_t tail = incomplete_tail(pbase(), size);
        const std::wstring text = win32::wide(std::string_view(pbase(), size - tail));
        std::size_t done = 0;
        while (done < text.size()) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
            if (!WriteConsoleW(console_, text.data() + done, chunk, &written, nullptr) || written == 0) return false;
            done += written;
        }
        std::char_traits<char>::move(buffer_, pbase() + size - tail, tail);
        setp(buffer_, buffer_ + sizeof buffer_);
        pbump(static_cast<int>(tail));
        return true;
    }

    HANDLE console_;
    char buffer_[4096];
};

// A console's output mode with escape sequences on, put back when the program ends.
class ConsoleOutput {
public:
    ConsoleOutput(std::ostream& stream, DWORD standard) : handle_(GetStdHandle(standard)) {
        if (!GetConsoleMode(handle_, &saved_mode_)) return;
        active_ = true;
        SetConsoleMode(handle_, saved_mode_ | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
        stream.flush();
        // Never destroyed: the streams are flushed after every static has gone.
        stream.rdbuf(new ConsoleBuffer(handle_));
    }
    ~ConsoleOutput() {
        if (active_) SetConsoleMode(handle_, saved_mode_);
    }
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

private:
    HANDLE handle_;
    DWORD saved_mode_ = 0;
    bool active_ = false;
};
const ConsoleOutput console_output(std::cout, STD_OUTPUT_HANDLE);
const ConsoleOutput console_error(std::cerr, STD_ERROR_HANDLE);

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

void show_at_input_terminal(std::string_view text) {
    const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) return;
    const std::wstring wide = win32::wide(text);
    DWORD written = 0;
    WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    CloseHandle(console);
}

}  // namespace quillet::platform
