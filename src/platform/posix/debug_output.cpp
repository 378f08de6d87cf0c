// Debug lines go to the system log at debug level.

#include <syslog.h>

#include <string>

#include "platform/platform.h"

namespace quillet::platform {

void debug_output(std::string_view line) {
    const std::string text(line);
    syslog(LOG_USER | LOG_DEBUG, "%s", text.c_str());
}

}  // namespace quillet::platform
