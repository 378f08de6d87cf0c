#pragma once
// frmMsgBox as a model: what the box shows for a request, how it is laid out in
// twips, and its countdown. A front end draws it and feeds it the timer ticks and
// the user's keys.

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/geometry.h"

namespace quillet {

// The design layout; the text box, and with it the window, grows by 255 twips
// for each line after the first.
struct MsgBoxLayout {
    std::int32_t client_width = 7155;
    std::int32_t client_height = 1455;
    TwipRect txtMessage{840, 360, 6135, 255};
    TwipRect cmdOk{3240, 960, 675, 375};
    TwipRect cmdPrint{6720, 1080, 315, 255};
    TwipRect lblCountDown{6120, 1020, 555, 315};

    friend bool operator==(const MsgBoxLayout&, const MsgBoxLayout&) = default;
};

inline constexpr std::int32_t kMsgBoxLineHeight = 255;

// The box's icon, from the request's first character.
enum class MsgBoxIcon { none = 0, critical = 1, exclamation = 2, information = 3 };

// How many characters the text box holds on one line: its width / 80, rounded.
std::int32_t CharactersPerLine(std::int32_t text_box_width);

// Drops a tail of line-break markers, digits and blanks that begins with "@".
std::u32string TrimTrailingMarkers(std::u32string_view message);

struct MessageLines {
    std::string text;  // lines separated by CR LF ("@" and a lone LF become CR LF)
    std::int32_t lines = 1;  // the lines the text box shows, its own wrapping included
};
MessageLines BuildMessageLines(std::u32string_view message, std::int32_t characters_per_line);

class MsgBoxWindow {
public:
    // The box as it loads for a request (kind, countdown, message) under the title
    // of the program's main window.
    MsgBoxWindow(std::string_view request, std::string title);

    MsgBoxIcon Icon() const { return icon_; }
    const std::string& Title() const { return title_; }
    const std::string& Text() const { return text_; }
    std::int32_t Lines() const { return lines_; }
    const MsgBoxLayout& Layout() const { return layout_; }

    // The countdown label is visible and the timer runs once a second.
    bool CountingDown() const { return counting_; }
    // The number the countdown label shows.
    std::int32_t CountDown() const { return count_down_; }
    bool Closed() const { return closed_; }

    // One second of the timer: the countdown goes down by one and, below 1,
    // closes the box.
    void Tick();
    // Esc stops the countdown where it is; only OK closes the box then.
    void PressEscape();
    void PressOk();

private:
    MsgBoxIcon icon_ = MsgBoxIcon::none;
    std::string title_;
    std::string text_;
    std::int32_t lines_ = 1;
    MsgBoxLayout layout_;
    bool counting_ = false;
    std::int32_t count_down_ = 0;
    bool closed_ = false;
};

}  // namespace quillet
