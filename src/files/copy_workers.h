#pragma once
// Copies made on threads of their own and put in place on the calling thread, in
// the order they were handed in: what a user sees of them (names, rows, failures)
// comes in that order, while the bytes of several files are copied at once.
// Copies change hands a few at a time: with small files, a thread woken for each
// one would cost more than the copy itself.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "files/pending_copy.h"

namespace quillet::lib_basFile {

class CopyWorkers {
public:
    // Called on the calling thread, once for each copy in the order handed in; what it
    // throws ends the work: the copies after it are abandoned and leave nothing behind.
    using PutInPlace = std::function<void(PendingCopy&)>;

    // threads: the threads that copy, the calling thread among them (it copies
    // whenever it would otherwise wait); 1 or fewer makes every copy at once on the
    // calling thread, as a plain copy would. while_waiting runs every few
    // milliseconds while the calling thread waits for a copy or makes a large one,
    // so that windows keep answering.
    CopyWorkers(unsigned threads, std::function<void()> while_waiting, PutInPlace put_in_place);
    // Abandons what is still in flight.
    ~CopyWorkers();
    CopyWorkers(const CopyWorkers&) = delete;
    CopyWorkers& operator=(const CopyWorkers&) = delete;

    // Hands a copy on, to the threads a few at a time; while too many are in flight,
    // puts the oldest in place first.
    void add(std::unique_ptr<PendingCopy> copy);
    // Puts in place, in order, the copies made so far, without waiting: once a few
    // are ready, so that they are taken over together, or once they have waited.
    void put_made_in_place();
    // Waits for every copy in flight and puts each in place.
    void put_all_in_place();

private:
    using Clock = std::chrono::steady_clock;
    struct InFlight {
        std::unique_ptr<PendingCopy> copy;
        bool made = false;
    };

    bool hand_over(std::unique_lock<std::mutex>& lock);
    void work();
    // The next copies for a thread, oldest first, at most `most`; false once it is to stop.
    bool take_work(std::unique_lock<std::mutex>& lock, std::size_t most, std::vector<InFlight*>& batch);
    // quick: whether the last copy was quick, to be told.
    bool make(std::unique_lock<std::mutex>& lock, const std::vector<InFlight*>& batch, bool& quick);
    // Under the lock, once copies are marked made; quick: whether the last one was.
    void note_made(bool quick);
    void start_threads();
    void wake_threads_for_work();
    // Waits until at least `count` copies at the front are made.
    void wait_for_front(std::unique_lock<std::mutex>& lock, std::size_t count);
    bool worth_making_here() const;
    // Makes the oldest copy not taken yet on the calling thread.
    void make_here(std::unique_lock<std::mutex>& lock);
    // True when the copy was quick.
    static bool timed_make(PendingCopy& copy, const platform::CopyProgress& progress);
    // Puts the copies made at the front in place; when none is, waits for a few first.
    void put_front_in_place(std::unique_lock<std::mutex>& lock);
    void abandon();

    std::function<void()> while_waiting_;
    PutInPlace put_in_place_;
    std::size_t limit_;
    std::size_t share_among_;  // the threads asked for
    unsigned threads_to_start_;
    std::vector<std::thread> threads_;

    // Handed in but not yet over to the threads; the calling thread's own.
    std::vector<std::unique_ptr<PendingCopy>> handed_;

    std::mutex mutex_;
    std::condition_variable work_added_;
    std::condition_variable front_made_;
    // Oldest first; the first `taken_` are being made or made, the first
    // `made_in_front_` are made.
    std::deque<InFlight> in_flight_;
    std::size_t taken_ = 0;
    // Written under the lock; read without it only as a hint.
    std::atomic<std::size_t> made_in_front_ = 0;
    // The copies at the front that the calling thread waits for; 0 while it does not,
    // 1 once a slow copy has been made.
    std::size_t waiting_for_ = 0;
    // When the calling thread last took copies over; its own.
    Clock::time_point last_put_ = Clock::now();
    std::size_t idle_ = 0;
    bool copies_quick_ = false;  // the last one made was
    bool stopping_ = false;
    // Read by the threads while they copy, to stop a large file early.
    std::atomic<bool> abandoned_ = false;
};

// As many threads as the machine has cores, and at least two.
unsigned DefaultCopyThreads();

}  // namespace quillet::lib_basFile
