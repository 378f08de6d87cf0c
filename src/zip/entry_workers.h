#pragma once
// Files compressed (and encrypted) ahead of the archive on threads of their own.
// Each file becomes a one-entry archive of its own, made by libzip exactly as the
// archive would have made the entry: small ones in memory, larger ones in a file
// of the staging folder, so that memory stays small whatever the files' sizes.
// The archive then takes the entries over in its own order, as they are, without
// compressing them again. The threads only read the files and write their own
// scratch archives; they never call back into the caller.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "zip/secret_text.h"

struct zip_source;
struct zip;

namespace quillet::zip32 {

// One file's scratch archive, once made: the archive (its one entry at index 0)
// or the libzip error that made it fail.
struct ScratchEntry {
    zip_source* archive = nullptr;
    int zip_error = 0;
    int system_error = 0;
};

class EntryWorkers {
public:
    // Whether a file of this size is for the workers. A very large one is left to
    // the archive itself, which compresses it as it writes it while the workers go
    // on with the files after it: a scratch copy would take as much disk again.
    static bool takes(std::uint64_t size);

    // `threads` threads, deflating at a level (1 to 9: what is stored goes straight
    // into the archive, which would only copy it here) and encrypting with a
    // password when one is given; larger scratch archives go into a folder (path text).
    EntryWorkers(int threads, int level, const std::string& password, std::string scratch_folder);
    // Stops the threads (a file half compressed is given up) and deletes every
    // scratch archive still there.
    ~EntryWorkers();
    EntryWorkers(const EntryWorkers&) = delete;
    EntryWorkers& operator=(const EntryWorkers&) = delete;

    // Adds a file (native path) to compress, or with `stored_blocks` to frame as
    // deflate's stored blocks (zip/stored_blocks.h); its number, counted from 0.
    std::size_t add(std::string native_path, std::uint64_t size, bool stored_blocks);
    // Starts the threads on the files added so far, in the order the archive will
    // take them: `order` names each file's number once.
    void start(std::vector<std::size_t> order);

    // Waits until file `number` is done, running `waiting` at least every
    // kProgressEvery meanwhile. Files are to be taken in the order given to start().
    const ScratchEntry& take(std::size_t number, const std::function<void()>& waiting);
    // The caller is done with file `number`: its scratch archive goes.
    void release(std::size_t number);

private:
    struct Job {
        std::string native_path;
        std::uint64_t size = 0;
        bool stored_blocks = false;
        bool in_memory = true;
        bool done = false;
        bool released = false;
        ScratchEntry result;
        std::string scratch_text;  // the scratch file, for those not in memory
        platform::RemovedIfInterrupted scratch_if_interrupted;
    };

    void work();
    bool may_start(std::size_t position) const;
    void make_scratch_or_fail(Job& job, std::size_t number) noexcept;
    void make_scratch(Job& job, std::size_t number);
    void discard(Job& job);

    int thread_count_;
    int level_;
    SecretText password_;
    std::string scratch_folder_;
    std::deque<Job> jobs_;            // by number
    std::vector<std::size_t> order_;  // numbers, as the archive takes them
    std::vector<std::thread> threads_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    // Positions in order_.
    std::size_t next_to_start_ = 0;
    std::size_t released_ = 0;  // every file before this one is released
    std::uint64_t memory_ahead_ = 0;
    std::uint64_t files_ahead_ = 0;
    bool stopping_ = false;
    std::atomic<bool> stop_{false};  // read by libzip's cancel check, outside the lock
};

}  // namespace quillet::zip32
