// The desktop services of quillet: the module quillet_desktop, loaded the first
// time a run sends something to the trash or asks for a registered program.

#include "platform/module_table.h"
#include "platform/posix/desktop_services.h"

namespace quillet::platform::posix {

const DesktopServices* desktop_services() {
    static const DesktopServices* const services = load_module_table<DesktopServices>(
        QUILLET_DESKTOP_MODULE, "quillet_desktop_services", "the trash and file type services");
    return services;
}

}  // namespace quillet::platform::posix
