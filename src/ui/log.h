#pragma once
// The activity log and the one timing routine. As the jobs call the log, it only
// lets window events run; its options serve other callers.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "ui/windows.h"

namespace quillet {

// source + ", " (when there is one), the "dd/mm/yy, HH:nn:ss, " stamp (when there
// is one, with the given separators), then the text.
std::string FormatLogLine(const std::string& text, const std::string& source,
                          const std::optional<DateTime>& stamp, const std::string& date_separator,
                          const std::string& time_separator);

// Composes the line, sends it to the debug log, appends it to the log file, shows
// it as the window's title, each when asked, then lets window events run. A log
// file that cannot be written raises the file error.
void lib_LogMessage(const std::string& text, std::optional<WindowHandle> window = std::nullopt,
                    bool to_debugger = false, const std::string& log_file = {}, bool with_timestamp = false,
                    const std::string& source = {});

// Whether the tick count `now` has reached `end`, also across a wrap of the counter.
bool TickReached(std::uint32_t now, std::uint32_t end);

// Lets window events run (at least once) until that many milliseconds have passed.
void lib_Wait(std::int32_t milliseconds);

}  // namespace quillet
