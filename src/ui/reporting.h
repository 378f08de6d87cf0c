#pragma once
// Turning a trapped run-time error into a report in the program's message box.

#include <cstdint>
#include <string>

namespace quillet {

// Switched on first thing at start-up; off, reports show only a fixed text.
extern bool ShowErrorDetails;

void lib_ErrorHandler(const std::string& source, std::int32_t number, const std::string& description,
                      bool show = true, const std::string& details = {}, std::int16_t countdown = 0);

}  // namespace quillet
