// Writes through a name, counted, so that the clean-up of an interruption can
// wait for them: each is told to stop by interruption_started() and ends soon.
// And the clean-up's line for the system log.

#include "platform/named_writes.h"

#include <atomic>
#include <thread>
#include <utility>

#include "platform/platform.h"

namespace quillet::platform {

namespace {

std::atomic<int> writes_under_way{0};

}  // namespace

NamedWrite NamedWrite::begin() {
    NamedWrite write;
    ++writes_under_way;
    write.held_ = true;
    return write;
}

NamedWrite::NamedWrite(NamedWrite&& other) noexcept : held_(std::exchange(other.held_, false)) {}

NamedWrite& NamedWrite::operator=(NamedWrite&& other) noexcept {
    if (this != &other) {
        end();
        held_ = std::exchange(other.held_, false);
    }
    return *this;
}

void NamedWrite::end() {
    if (std::exchange(held_, false)) --writes_under_way;
}

bool named_writes_ended(std::chrono::steady_clock::time_point deadline) {
    while (writes_under_way.load() > 0) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string clean_up_outcome(const std::string& cause, const std::string& left, bool writes_ended) {
    std::string outcome = cause + (left.empty() ? "; half-made files removed" : "; half-made files left: " + left);
    if (!writes_ended) outcome += "; a write by name was still under way";
    return outcome;
}

}  // namespace quillet::platform
