#include "files/copy_workers.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace quillet::lib_basFile {

namespace {

// How often the waiting thread lets window events run.
constexpr auto kWaitSlice = std::chrono::milliseconds(25);
// Copies in flight for each thread: enough that no thread waits for work while the
// calling thread puts copies in place, few enough for the descriptors that copies
// without a name keep open until then.
constexpr std::size_t kInFlightPerThread = 16;

// Thrown into a copy of a large file that is no longer wanted, to stop it early.
struct Abandoned {};

}  // namespace

unsigned DefaultCopyThreads() { return std::max(2u, std::thread::hardware_concurrency()); }

CopyWorkers::CopyWorkers(unsigned threads, std::function<void()> while_waiting, PutInPlace put_in_place)
    : while_waiting_(std::move(while_waiting)),
      put_in_place_(std::move(put_in_place)),
      limit_(kInFlightPerThread * threads) {
    if (threads <= 1) return;
    try {
        for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // A limit on the threads a user may run: the ones started do the work, or
        // the calling thread does it itself.
    }
}

CopyWorkers::~CopyWorkers() { abandon(); }

void CopyWorkers::add(std::unique_ptr<PendingCopy> copy) {
    if (abandoned_) return;
    if (threads_.empty()) {
        // Window events run while a large file is copied, as during any plain copy.
        copy->make([this](std::uint64_t, std::uint64_t) { while_waiting_(); });
        put_in_place_(*copy);
        return;
    }
    std::unique_lock lock(mutex_);
    while (in_flight_.size() >= limit_) put_oldest_in_place(lock);
    in_flight_.push_back(InFlight{std::move(copy)});
    if (idle_ > 0) work_added_.notify_one();
}

void CopyWorkers::put_made_in_place() {
    std::unique_lock lock(mutex_);
    while (!in_flight_.empty() && in_flight_.front().made) put_oldest_in_place(lock);
}

void CopyWorkers::put_all_in_place() {
    std::unique_lock lock(mutex_);
    while (!in_flight_.empty()) put_oldest_in_place(lock);
}

void CopyWorkers::wait_for_oldest(std::unique_lock<std::mutex>& lock) {
    while (!oldest_made_.wait_for(lock, kWaitSlice, [this] { return in_flight_.front().made; })) {
        lock.unlock();
        while_waiting_();
        lock.lock();
    }
}

// The lock is let go while the copy is put in place: the threads go on meanwhile.
void CopyWorkers::put_oldest_in_place(std::unique_lock<std::mutex>& lock) {
    wait_for_oldest(lock);
    const std::unique_ptr<PendingCopy> copy = std::move(in_flight_.front().copy);
    in_flight_.pop_front();
    --taken_;
    lock.unlock();
    try {
        put_in_place_(*copy);
    } catch (...) {
        abandon();
        lock.lock();
        throw;
    }
    lock.lock();
}

void CopyWorkers::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        work_added_.wait(lock, [this] { return stopping_ || taken_ < in_flight_.size(); });
        --idle_;
        if (stopping_) return;
        InFlight& next = in_flight_[taken_++];
        lock.unlock();
        next.copy->make([this](std::uint64_t, std::uint64_t) {
            if (abandoned_) throw Abandoned{};
        });
        lock.lock();
        next.made = true;
        if (&next == &in_flight_.front()) oldest_made_.notify_one();
    }
}

// The threads finish the copies they are making (a large one stops at its next
// piece) and every copy not yet put in place is dropped, which leaves nothing of it.
void CopyWorkers::abandon() {
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
        stopping_ = true;
    }
    work_added_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
    const std::lock_guard lock(mutex_);
    in_flight_.clear();
    taken_ = 0;
}

}  // namespace quillet::lib_basFile
