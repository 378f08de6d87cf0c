// The module quillet_desktop: GIO's services, for quillet to load when a run needs them.

#include "platform/posix/desktop_services.h"

extern "C" const quillet::platform::posix::DesktopServices* quillet_desktop_services() {
    return &quillet::platform::posix::gio_desktop_services();
}
