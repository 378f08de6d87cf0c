#pragma once
// What the clean-up of an interruption does alike on every host: it waits for the
// writes through a name (NamedWrite in platform.h) and tells how it went.

#include <chrono>
#include <string>

namespace quillet::platform {

// Waits, until the deadline, for every NamedWrite to end; false when one is left.
// Called with the registry's lock taken, so that no new one begins meanwhile.
bool named_writes_ended(std::chrono::steady_clock::time_point deadline);

// The system log's line for the clean-up: the cause, then what could not be
// removed (path texts joined with ", ", empty when all went) and whether a write
// through a name was still under way, which may make its file again.
std::string clean_up_outcome(const std::string& cause, const std::string& left, bool writes_ended);

}  // namespace quillet::platform
