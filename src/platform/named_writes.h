#pragma once
// What the clean-up of an interruption asks of the writes through a name
// (NamedWrite in platform.h), on every host.

#include <chrono>

namespace quillet::platform {

// Waits, until the deadline, for every NamedWrite to end; false when one is left.
// Called with the registry's lock taken, so that no new one begins meanwhile.
bool named_writes_ended(std::chrono::steady_clock::time_point deadline);

}  // namespace quillet::platform
