#include "ui/models/msgbox_window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "text/unicode.h"

namespace quillet {

namespace {

constexpr char32_t kCr = U'\r';
constexpr char32_t kLf = U'\n';

bool is_trailing_marker(char32_t c) {
    return c == kCr || c == kLf || c == U' ' || c == U'@' || (c >= U'0' && c <= U'9');
}

// The request's numbers are read as the language's Val reads them: blanks
// anywhere are skipped, then a sign and digits; anything else ends the number.
std::int32_t leading_integer(std::u32string_view text) {
    std::int64_t value = 0;
    bool negative = false;
    bool started = false;
    for (const char32_t c : text) {
        if (c == U' ' || c == U'\t') continue;
        if (!started && (c == U'-' || c == U'+')) {
            negative = c == U'-';
            started = true;
            continue;
        }
        if (c < U'0' || c > U'9') break;
        started = true;
        value = value * 10 + (c - U'0');
        if (value > 99999) break;  // the request holds four characters
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

MsgBoxIcon icon_for(std::int32_t kind) {
    switch (kind) {
        case 1:
            return MsgBoxIcon::critical;
        case 2:
            return MsgBoxIcon::exclamation;
        case 3:
            return MsgBoxIcon::information;
        default:
            return MsgBoxIcon::none;
    }
}

}  // namespace

std::int32_t CharactersPerLine(std::int32_t text_box_width) {
    return static_cast<std::int32_t>(std::nearbyint(text_box_width / 80.0));  // halves to even
}

std::u32string TrimTrailingMarkers(std::u32string_view message) {
    std::size_t last = message.size();
    while (last > 0 && is_trailing_marker(message[last - 1])) --last;
    if (last == 0) return std::u32string(message);  // nothing but markers: kept whole
    const std::size_t at = message.find(U'@', last);
    if (at == std::u32string_view::npos) return std::u32string(message);
    return std::u32string(message.substr(0, at));
}

MessageLines BuildMessageLines(std::u32string_view message, std::int32_t characters_per_line) {
    std::u32string out;
    std::int32_t lines = 1;
    std::int32_t column = 0;
    char32_t previous = 0;
    for (const char32_t c : message) {
        if (c == kCr) {
            out += kCr;
            ++lines;
            column = 0;
        } else if (c == kLf && previous == kCr) {
            out += kLf;
        } else if (c == kLf || c == U'@') {
            out += U"\r\n";
            ++lines;
            column = 0;
        } else {
            out += c;
            // The text box wraps a long line by itself; it only has to be counted.
            if (++column > characters_per_line) {
                ++lines;
                column = 1;
            }
        }
        previous = c;
    }
    return MessageLines{unicode::encode(out), lines};
}

MsgBoxWindow::MsgBoxWindow(std::string_view request, std::string title) : title_(std::move(title)) {
    const std::u32string chars = unicode::decode(request);
    const std::u32string_view all(chars);
    icon_ = icon_for(leading_integer(all.substr(0, 1)));

    const std::u32string message = TrimTrailingMarkers(all.substr(std::min<std::size_t>(5, all.size())));
    const MessageLines built = BuildMessageLines(message, CharactersPerLine(layout_.txtMessage.width));
    text_ = built.text;
    lines_ = built.lines;

    const std::int32_t growth = (lines_ - 1) * kMsgBoxLineHeight;
    layout_.client_height += growth;
    layout_.txtMessage.height = lines_ * kMsgBoxLineHeight;
    layout_.cmdOk.top += growth;
    layout_.cmdPrint.top += growth;
    layout_.lblCountDown.top += growth;

    count_down_ = leading_integer(all.substr(std::min<std::size_t>(1, all.size()), 4));
    counting_ = count_down_ != 0;
}

void MsgBoxWindow::Tick() {
    if (!counting_ || closed_) return;
    --count_down_;
    if (count_down_ < 1) closed_ = true;
}

void MsgBoxWindow::PressEscape() { counting_ = false; }

void MsgBoxWindow::PressOk() {
    count_down_ = 0;
    counting_ = false;
    closed_ = true;
}

}  // namespace quillet
