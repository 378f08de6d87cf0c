#pragma once
// Every failure the program shows (a message row, a message box, the last-resort
// box of the error reporter) goes through here on its way to the screen: it is
// written to the system log, where unattended runs are read, and counted, so that
// each job can say in its closing line how many failures it met.

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace quillet {

void LogShownFailure(platform::Severity severity, std::string_view text);

// The failures shown so far in this run.
std::int64_t ShownFailures();

}  // namespace quillet
