// The steps, counted on each thread. A registration's lifetime. Writes through a
// name, counted, so that the clean-up of an interruption can wait for them: each
// is told to stop by interruption_started() and ends soon. And the clean-up's line
// for the system log.

#include "platform/interruption_common.h"

#include <atomic>
#include <thread>
#include <utility>

#include "platform/platform.h"

namespace quillet::platform {

namespace {

std::atomic<int> writes_under_way{0};

// The steps this thread is inside: a step within a step goes on as its outer one does.
thread_local int steps_entered = 0;

struct EnteredStep {
    EnteredStep() { ++steps_entered; }
    ~EnteredStep() { --steps_entered; }
    EnteredStep(const EnteredStep&) = delete;
    EnteredStep& operator=(const EnteredStep&) = delete;
};

}  // namespace

void run_step(std::recursive_timed_mutex& lock, const std::atomic<bool>& clean_up_under_way,
              const std::function<void()>& step) {
    std::unique_lock held(lock);
    if (clean_up_under_way && steps_entered == 0) {
        held.unlock();
        for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    }
    const EnteredStep entered;
    step();
}

// A registration goes with its owner: each host's forget() takes it out of that
// host's registry.
RemovedIfInterrupted::~RemovedIfInterrupted() { forget(); }

RemovedIfInterrupted::RemovedIfInterrupted(RemovedIfInterrupted&& other) noexcept : id_(other.id_) { other.id_ = 0; }

RemovedIfInterrupted& RemovedIfInterrupted::operator=(RemovedIfInterrupted&& other) noexcept {
    if (this != &other) {
        forget();
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

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
