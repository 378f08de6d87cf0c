#pragma once
// Handles that name the program's windows when it talks to its front end.

#include <cstdint>

namespace quillet {

using WindowHandle = std::int32_t;

// Whichever window is in the foreground now.
inline constexpr WindowHandle kForegroundWindow = 0;
inline constexpr WindowHandle kMainWindow = 1;      // frmMain
inline constexpr WindowHandle kMsgBoxWindow = 2;    // frmMsgBox
inline constexpr WindowHandle kSyntaxWindow = 3;    // frmSyntaxMsg
inline constexpr WindowHandle kAboutWindow = 4;     // frmAbout
// Any other value names no window (the jobs pass -1, a true value, as a handle).
inline constexpr bool NamesAWindow(WindowHandle window) {
    return window >= kForegroundWindow && window <= kAboutWindow;
}

}  // namespace quillet
