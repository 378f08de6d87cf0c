#include "ui/msgbox.h"

#include <algorithm>
#include <string_view>

#include "platform/platform.h"
#include "text/error.h"
#include "text/password_masking.h"
#include "text/unicode.h"
#include "ui/busy.h"
#include "ui/failure_log.h"
#include "ui/front_end.h"
#include "ui/models/msgbox_window.h"

namespace quillet {

std::string MsgBoxRequest;

namespace {

constexpr std::size_t kSplitLength = 1250;
constexpr std::size_t kLastBreakSearched = 990;
constexpr std::size_t kCutWithoutBreak = 1240;

// The box puts the mouse pointer to normal while it is up and back afterwards.
class NormalPointerWhileUp {
public:
    NormalPointerWhileUp() : saved_(lib_basDisplay::BusyState) { lib_basDisplay::lib_SetBusy(false); }
    ~NormalPointerWhileUp() { lib_basDisplay::lib_SetBusy(saved_); }
    NormalPointerWhileUp(const NormalPointerWhileUp&) = delete;
    NormalPointerWhileUp& operator=(const NormalPointerWhileUp&) = delete;

private:
    bool saved_;
};

// The box takes the title of the program's own main window, else the foreground's.
std::string box_title() {
    if (auto title = front_end().window_title(kMainWindow)) return *title;
    return front_end().window_title(kForegroundWindow).value_or(std::string());
}

void show_box(const std::string& request) {
    MsgBoxRequest = request;
    const NormalPointerWhileUp pointer;
    MsgBoxWindow box(request, box_title());
    front_end().show_message_box(box);
}

platform::Severity severity_of(const std::string& kind) {
    if (kind == "1") return platform::Severity::error;
    if (kind == "2") return platform::Severity::warning;
    return platform::Severity::notice;
}

void restore_minimised_window() {
    try {
        if (front_end().is_minimised(kForegroundWindow)) front_end().restore_window(kForegroundWindow);
    } catch (const Error&) {
        // A box that shows over a minimised window is still a box.
    }
}

}  // namespace

std::string ComposeMsgBoxRequest(const std::string& kind, std::int16_t countdown, const std::string& text) {
    const int seconds = std::clamp<int>(countdown, 0, 9999);
    std::string number = std::to_string(seconds);
    return kind + std::string(4 - number.size(), ' ') + number + text;
}

std::optional<MsgBoxParts> SplitLongMessage(const std::string& text) {
    const std::u32string chars = unicode::decode(text);
    if (chars.size() < kSplitLength) return std::nullopt;
    std::size_t cut = kCutWithoutBreak;
    for (std::size_t position = kLastBreakSearched; position >= 1; --position) {
        const char32_t c = chars[position - 1];
        if (c == U' ' || c == U'\r' || c == U'\n') {
            cut = position;
            break;
        }
    }
    const std::u32string_view all(chars);
    return MsgBoxParts{unicode::encode(all.substr(0, cut)) + "...(contd)", unicode::encode(all.substr(cut))};
}

void lib_MsgBox(const std::string& kind, const std::string& message, std::int16_t countdown) {
    // A box may quote command line text; its passwords show nowhere.
    const std::string text = MaskPasswords(message);
    LogShownFailure(severity_of(kind), text);
    restore_minimised_window();
    const auto parts = SplitLongMessage(text);
    if (!parts) {
        show_box(ComposeMsgBoxRequest(kind, countdown, text));
        return;
    }
    show_box(ComposeMsgBoxRequest(kind, countdown, parts->first));
    show_box(ComposeMsgBoxRequest(kind, countdown, parts->rest));
}

void lib_MsgBoxError(const std::string& text, std::int16_t countdown) {
    front_end().beep();
    lib_MsgBox("1", text, countdown);
}

void lib_MsgBoxWarning(const std::string& text, std::int16_t countdown) {
    front_end().beep();
    lib_MsgBox("2", text, countdown);
}

void lib_MsgBoxInfo(const std::string& text, std::int16_t countdown) { lib_MsgBox("3", text, countdown); }

}  // namespace quillet
