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
// The most copies a thread takes at once; fewer when the others would go without.
// Several at once cost one hand-over instead of several; not many, as a large one
// holds back the ones it was taken with.
constexpr std::size_t kTakeAtOnce = 4;
// The copies the calling thread waits for once it has to wait, and how many must be
// made before it takes them over between files.
constexpr std::size_t kPutAtOnce = 8;
// A copy that takes longer is a large file's, or one on a slow drive: one at a time
// is then as quick, and nothing waits for the ones taken with it.
constexpr auto kQuickCopy = std::chrono::milliseconds(1);

// Thrown into a copy of a large file that is no longer wanted, to stop it early.
struct Abandoned {};

}  // namespace

unsigned DefaultCopyThreads() { return std::max(2u, std::thread::hardware_concurrency()); }

CopyWorkers::CopyWorkers(unsigned threads, std::function<void()> while_waiting, PutInPlace put_in_place)
    : while_waiting_(std::move(while_waiting)),
      put_in_place_(std::move(put_in_place)),
      limit_(kInFlightPerThread * threads),
      share_among_(std::max(threads, 1u)),
      threads_to_start_(threads > 1 ? threads - 1 : 0) {}

// The threads start with the first copy: a job that finds nothing to copy starts none.
void CopyWorkers::start_threads() {
    const unsigned count = std::exchange(threads_to_start_, 0);
    try {
        // The calling thread is one of them: it copies whenever it would wait.
        for (unsigned i = 0; i < count; ++i) threads_.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        // A limit on the threads a user may run: the ones started do the work, or
        // the calling thread does it itself.
    }
}

CopyWorkers::~CopyWorkers() { abandon(); }

void CopyWorkers::add(std::unique_ptr<PendingCopy> copy) {
    if (abandoned_) return;
    if (threads_to_start_ > 0) start_threads();
    if (threads_.empty()) {
        // Window events run while a large file is copied, as during any plain copy.
        copy->make([this](std::uint64_t, std::uint64_t) { while_waiting_(); });
        put_in_place_(*copy);
        return;
    }
    // Handed over a few at a time: a thread woken for each would cost more than a
    // small copy.
    handed_.push_back(std::move(copy));
    if (handed_.size() < kTakeAtOnce) return;
    std::unique_lock lock(mutex_);
    const bool wake = hand_over(lock);
    lock.unlock();
    // Woken with the lock let go, a thread need not wait for it at once.
    if (wake) work_added_.notify_one();
}

// While too many are in flight, the oldest are put in place first. True when a
// thread sleeps that is to be woken for them.
bool CopyWorkers::hand_over(std::unique_lock<std::mutex>& lock) {
    while (!in_flight_.empty() && in_flight_.size() + handed_.size() > limit_) put_front_in_place(lock);
    for (std::unique_ptr<PendingCopy>& copy : handed_) in_flight_.push_back(InFlight{std::move(copy)});
    handed_.clear();
    return idle_ > 0;
}

// A few made copies are taken over together; fewer once they have waited a while,
// so that the ones made while the walk is slow are not held back.
void CopyWorkers::put_made_in_place() {
    // Read without the lock: a copy made a moment ago is taken the next time.
    const std::size_t made = made_in_front_.load(std::memory_order_relaxed);
    if (made == 0 || (made < kPutAtOnce && Clock::now() - last_put_ < kWaitSlice)) return;
    std::unique_lock lock(mutex_);
    put_front_in_place(lock);
}

void CopyWorkers::put_all_in_place() {
    std::unique_lock lock(mutex_);
    if (!handed_.empty()) hand_over(lock);  // the threads are woken before it waits
    while (!in_flight_.empty()) put_front_in_place(lock);
}

void CopyWorkers::wake_threads_for_work() {
    if (idle_ > 0 && taken_ < in_flight_.size()) work_added_.notify_all();
}

// Rather than sleep, the calling thread makes the oldest copy that no thread has
// taken yet: waking and being woken cost more than a small copy.
void CopyWorkers::wait_for_front(std::unique_lock<std::mutex>& lock, std::size_t count) {
    wake_threads_for_work();
    waiting_for_ = count;
    while (made_in_front_ < waiting_for_) {
        if (worth_making_here()) {
            make_here(lock);
        } else if (!front_made_.wait_for(lock, kWaitSlice, [this] { return made_in_front_ >= waiting_for_; })) {
            lock.unlock();
            while_waiting_();
            lock.lock();
            // What is made does not wait longer for a slow copy after it.
            if (made_in_front_ > 0) break;
        }
    }
    waiting_for_ = 0;
}

// Quick copies are left to the threads while they have few: a thread that runs
// out of work sleeps, and waking it costs more than such a copy.
bool CopyWorkers::worth_making_here() const {
    const std::size_t untaken = in_flight_.size() - taken_;
    return untaken > (copies_quick_ ? kTakeAtOnce * threads_.size() : 0);
}

void CopyWorkers::make_here(std::unique_lock<std::mutex>& lock) {
    InFlight& next = in_flight_[taken_++];
    lock.unlock();
    // Window events run while a large file is copied, as during any plain copy.
    const bool quick = timed_make(*next.copy, [this](std::uint64_t, std::uint64_t) { while_waiting_(); });
    lock.lock();
    next.made = true;
    note_made(quick);
}

bool CopyWorkers::timed_make(PendingCopy& copy, const platform::CopyProgress& progress) {
    const Clock::time_point started = Clock::now();
    copy.make(progress);
    return Clock::now() - started < kQuickCopy;
}

// The lock is let go while the copies are put in place: the threads go on meanwhile.
void CopyWorkers::put_front_in_place(std::unique_lock<std::mutex>& lock) {
    if (made_in_front_ == 0) wait_for_front(lock, std::min(kPutAtOnce, in_flight_.size()));
    const std::size_t count = made_in_front_;
    std::vector<std::unique_ptr<PendingCopy>> ready;
    ready.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        ready.push_back(std::move(in_flight_.front().copy));
        in_flight_.pop_front();
    }
    taken_ -= count;
    made_in_front_ = 0;
    last_put_ = Clock::now();
    lock.unlock();
    try {
        for (const std::unique_ptr<PendingCopy>& copy : ready) put_in_place_(*copy);
    } catch (...) {
        // The copies after the one that failed are dropped with `ready`, unnamed.
        abandon();
        lock.lock();
        throw;
    }
    lock.lock();
}

void CopyWorkers::work() {
    std::vector<InFlight*> batch;
    bool quick = false;  // the thread's last copy was
    std::unique_lock lock(mutex_);
    while (take_work(lock, quick ? kTakeAtOnce : 1, batch)) {
        if (!make(lock, batch, quick)) return;
    }
}

// A share of the copies not taken yet, so that a thread that wakes later still
// finds some; another sleeping thread is woken for what is left.
bool CopyWorkers::take_work(std::unique_lock<std::mutex>& lock, std::size_t most, std::vector<InFlight*>& batch) {
    ++idle_;
    work_added_.wait(lock, [this] { return stopping_ || taken_ < in_flight_.size(); });
    --idle_;
    batch.clear();
    if (stopping_) return false;
    const std::size_t untaken = in_flight_.size() - taken_;
    const std::size_t share = std::min(most, (untaken + share_among_ - 1) / share_among_);
    for (std::size_t i = 0; i < share; ++i) batch.push_back(&in_flight_[taken_++]);
    if (idle_ > 0 && taken_ < in_flight_.size()) work_added_.notify_one();
    return true;
}

// The lock is let go while the copies are made. Quick copies are marked made
// together, a slow one at once. False once the thread is to stop.
bool CopyWorkers::make(std::unique_lock<std::mutex>& lock, const std::vector<InFlight*>& batch, bool& quick) {
    lock.unlock();
    std::size_t marked = 0;
    for (std::size_t i = 0; i < batch.size() && !abandoned_; ++i) {
        quick = timed_make(*batch[i]->copy, [this](std::uint64_t, std::uint64_t) {
            if (abandoned_) throw Abandoned{};
        });
        if (quick && i + 1 < batch.size()) continue;
        lock.lock();
        if (stopping_) return false;
        for (; marked <= i; ++marked) batch[marked]->made = true;
        note_made(quick);
        if (marked == batch.size()) return true;
        lock.unlock();
    }
    lock.lock();
    return false;
}

// After a slow copy the calling thread takes what is made without waiting for more.
void CopyWorkers::note_made(bool quick) {
    copies_quick_ = quick;
    if (!quick && waiting_for_ > 1) waiting_for_ = 1;
    std::size_t made = made_in_front_;
    while (made < in_flight_.size() && in_flight_[made].made) ++made;
    made_in_front_ = made;
    if (waiting_for_ > 0 && made >= waiting_for_) front_made_.notify_one();
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
    handed_.clear();
    taken_ = 0;
    made_in_front_ = 0;
}

}  // namespace quillet::lib_basFile
