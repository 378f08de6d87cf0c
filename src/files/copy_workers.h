#pragma once
// Copies made on threads of their own and put in place on the calling thread, in
// the order they were handed in: what a user sees of them (names, rows, failures)
// comes in that order, while the bytes of several files are copied at once.

#include <atomic>
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

    // threads: 1 or fewer makes every copy at once on the calling thread, as a plain
    // copy would. while_waiting runs every few milliseconds while the calling thread
    // waits for a copy, so that windows keep answering.
    CopyWorkers(unsigned threads, std::function<void()> while_waiting, PutInPlace put_in_place);
    // Abandons what is still in flight.
    ~CopyWorkers();
    CopyWorkers(const CopyWorkers&) = delete;
    CopyWorkers& operator=(const CopyWorkers&) = delete;

    // Hands a copy on; while too many are in flight, puts the oldest in place first.
    void add(std::unique_ptr<PendingCopy> copy);
    // Puts in place, in order, the copies made so far, without waiting.
    void put_made_in_place();
    // Waits for every copy in flight and puts each in place.
    void put_all_in_place();

private:
    struct InFlight {
        std::unique_ptr<PendingCopy> copy;
        bool made = false;
    };

    void work();
    // Waits for the oldest copy to be made.
    void wait_for_oldest(std::unique_lock<std::mutex>& lock);
    void put_oldest_in_place(std::unique_lock<std::mutex>& lock);
    void abandon();

    std::function<void()> while_waiting_;
    PutInPlace put_in_place_;
    std::size_t limit_;
    std::vector<std::thread> threads_;

    std::mutex mutex_;
    std::condition_variable work_added_;
    std::condition_variable oldest_made_;
    // Oldest first; the first `taken_` are being made or made.
    std::deque<InFlight> in_flight_;
    std::size_t taken_ = 0;
    std::size_t idle_ = 0;
    bool stopping_ = false;
    // Read by the threads while they copy, to stop a large file early.
    std::atomic<bool> abandoned_ = false;
};

// As many threads as the machine has cores, and at least two.
unsigned DefaultCopyThreads();

}  // namespace quillet::lib_basFile
