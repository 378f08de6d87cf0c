#pragma once
// What interruption does alike on every host: without_interruption()'s steps, the
// clean-up's wait for the writes through a name (NamedWrite in platform.h), and
// its line for the system log.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>

namespace quillet::platform {

// without_interruption() with the host's registry lock and its flag of a clean-up
// under way. The lock is not fair: a thread may take it before the clean-up that
// waits for it, and its step, or the next job after it, would only race the
// clean-up, which ends the process. Such a thread, inside no step of its own,
// gives the lock back and waits for that end.
void run_step(std::recursive_timed_mutex& lock, const std::atomic<bool>& clean_up_under_way,
              const std::function<void()>& step);

// Waits, until the deadline, for every NamedWrite to end; false when one is left.
// Called with the registry's lock taken, so that no new one begins meanwhile.
bool named_writes_ended(std::chrono::steady_clock::time_point deadline);

// The system log's line for the clean-up: the cause, then what could not be
// removed (path texts joined with ", ", empty when all went) and whether a write
// through a name was still under way, which may make its file again.
std::string clean_up_outcome(const std::string& cause, const std::string& left, bool writes_ended);

}  // namespace quillet::platform
