#include "ui/log.h"

#include <chrono>
#include <thread>

#include "text/error.h"
#include "text/numbers.h"
#include "ui/display.h"
#include "ui/front_end.h"

namespace quillet {

namespace {

std::string time_stamp(const DateTime& time, const std::string& date_separator,
                       const std::string& time_separator) {
    return two_digits(time.day) + date_separator + two_digits(time.month) + date_separator +
           two_digits(time.year % 100) + ", " + two_digits(time.hour) + time_separator + two_digits(time.minute) +
           time_separator + two_digits(time.second) + ", ";
}

}  // namespace

std::string FormatLogLine(const std::string& text, const std::string& source,
                          const std::optional<DateTime>& stamp, const std::string& date_separator,
                          const std::string& time_separator) {
    std::string line = source.empty() ? std::string() : source + ", ";
    if (stamp) line += time_stamp(*stamp, date_separator, time_separator);
    return line + text;
}

void lib_LogMessage(const std::string& text, std::optional<WindowHandle> window, bool to_debugger,
                    const std::string& log_file, bool with_timestamp, const std::string& source) {
    // The separators come from the user's locale, which is slow to ask: only a
    // stamped line needs them.
    const std::string line =
        with_timestamp ? FormatLogLine(text, source, platform::local_time_now(), platform::date_separator(),
                                       platform::time_separator())
                       : FormatLogLine(text, source, std::nullopt, {}, {});

    if (to_debugger) platform::debug_output(line);
    if (!log_file.empty()) platform::append_line_to_file(log_file, line);
    if (window) {
        try {
            lib_basDisplay::lib_SetWindowTitle(line, "", *window);
        } catch (const Error&) {
            // A title that cannot be set takes nothing from the log.
        }
    }
    front_end().do_events();
}

bool TickReached(std::uint32_t now, std::uint32_t end) {
    // The difference read as signed stays right when the counter wraps in between.
    return static_cast<std::int32_t>(now - end) >= 0;
}

void lib_Wait(std::int32_t milliseconds) {
    const std::uint32_t end = platform::tick_count() + static_cast<std::uint32_t>(milliseconds);
    for (;;) {
        front_end().do_events();
        if (TickReached(platform::tick_count(), end)) return;
        // A front end without events to run should not spin the processor.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace quillet
