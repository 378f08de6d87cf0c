// The desktop services of a program that has GIO linked in.

#include "platform/posix/desktop_services.h"

namespace quillet::platform::posix {

const DesktopServices* desktop_services() { return &gio_desktop_services(); }

}  // namespace quillet::platform::posix
