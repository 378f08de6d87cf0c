#pragma once
// What GIO serves of the desktop: the freedesktop.org trash and the applications
// registered for file types. GIO and the libraries under it are mapped only by a
// run that uses one of them: quillet loads them in the module quillet_desktop
// (desktop_loaded.cpp), test programs have them linked in (desktop_linked.cpp).

#include <string>

namespace quillet::platform::posix {

struct DesktopServices {
    // Moves a file or folder (native path) to the trash: 0, or an errno that says
    // why not.
    int (*trash)(const char* native);
    // The executable (native path) of the default application for the content
    // type of a file (native path); empty when there is none.
    std::string (*default_program)(const std::string& native);
};

// The services served by GIO here (desktop_gio.cpp).
const DesktopServices& gio_desktop_services();

// The services for this run; null when they cannot be loaded (already reported).
const DesktopServices* desktop_services();

}  // namespace quillet::platform::posix
