// The system log through syslog(3): opened once, under the program's own name
// rather than whatever name it was started by, so that one query finds every run.

#include <syslog.h>

#include <mutex>
#include <string>

#include "platform/platform.h"
#include "text/line_breaks.h"

namespace quillet::platform {

namespace {

int priority_of(Severity severity) {
    switch (severity) {
        case Severity::error:
            return LOG_ERR;
        case Severity::warning:
            return LOG_WARNING;
        case Severity::notice:
            return LOG_NOTICE;
        case Severity::information:
            break;
    }
    return LOG_INFO;
}

void open_once() {
    static std::once_flag opened;
    std::call_once(opened, [] { openlog("quillet", LOG_PID, LOG_USER); });
}

}  // namespace

void system_log(Severity severity, std::string_view line) {
    open_once();
    syslog(LOG_USER | priority_of(severity), "%s", PlainLines(line, ' ').c_str());
}

}  // namespace quillet::platform
