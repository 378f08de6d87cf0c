// Whether the window can open: a display to connect to, asked of X before Qt
// would end the program for want of one.

#include <xcb/xcb.h>

#include "platform/platform.h"
#include "ui/qt/window_run.h"

namespace quillet::qt {

bool CanOpenDisplay() {
    const auto chosen = platform::environment_variable("QT_QPA_PLATFORM");
    if (chosen && !chosen->empty() && !chosen->starts_with("xcb")) return true;
    const auto display = platform::environment_variable("DISPLAY");
    if (!display || display->empty()) return false;
    // Qt gives up the whole program when its display cannot be reached, so the
    // connection is tried first.
    xcb_connection_t* connection = xcb_connect(display->c_str(), nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reached;
}

}  // namespace quillet::qt
