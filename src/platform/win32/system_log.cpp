// The system log: the Windows event log (the Application log), under the event
// source "quillet", so that one filter in the Event Viewer finds every run. The
// source needs no registration to be written to; without a message file
// registered for it (an installer's work, in the registry under
// ...\Services\EventLog\Application\quillet), the Event Viewer shows the line
// after a note that the event's description is missing. The handle is opened
// once and kept: the interruption's clean-up writes here too, from its own thread.

#include <windows.h>

#include <mutex>
#include <string>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"
#include "text/line_breaks.h"

namespace quillet::platform {

namespace {

WORD event_type_of(Severity severity) {
    switch (severity) {
        case Severity::error:
            return EVENTLOG_ERROR_TYPE;
        case Severity::warning:
            return EVENTLOG_WARNING_TYPE;
        case Severity::notice:
        case Severity::information:
            break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

// Null where the event log cannot be reached: the lines are then dropped.
HANDLE event_source() {
    static HANDLE source = nullptr;
    static std::once_flag opened;
    std::call_once(opened, [] { source = RegisterEventSourceW(nullptr, L"quillet"); });
    return source;
}

}  // namespace

void system_log(Severity severity, std::string_view line) {
    const HANDLE source = event_source();
    if (source == nullptr) return;
    const std::wstring text = win32::wide(PlainLines(line, ' '));
    const wchar_t* strings[] = {text.c_str()};
    ReportEventW(source, event_type_of(severity), 0, 0, nullptr, 1, 0, strings, nullptr);
}

}  // namespace quillet::platform
