#include "zip/entry_workers.h"

#include <zip.h>

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "zip/stored_blocks.h"
#include "zip/zip32.h"

namespace quillet::zip32 {

namespace {

// Files up to this size are compressed in memory; larger ones into a scratch file.
constexpr std::uint64_t kInMemoryLimit = 128 * 1024;
// How far the threads may run ahead of the archive: in files, in bytes held in
// memory, and in bytes of the files written to scratch files (the disk they take
// beside the archive). Far enough in files that while one thread compresses a large
// file the others need not stop after a few small ones.
constexpr std::size_t kFilesAheadPerWorker = 32;
constexpr std::uint64_t kMemoryAhead = 1024 * 1024;
constexpr std::uint64_t kFilesAhead = 128 * 1024 * 1024;
// Larger files are compressed by the archive itself.
constexpr std::uint64_t kLargestFile = 64 * 1024 * 1024;

struct Failure {
    int zip_error;
    int system_error;
};

Failure failure_of(const zip_error_t* error) {
    return {zip_error_code_zip(error), zip_error_code_system(error)};
}

// What a worker holds of libzip goes also when an allocation of its own throws.
struct DiscardArchive {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct FreeSource {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using OwnedSource = std::unique_ptr<zip_source_t, FreeSource>;

// Writes the one-entry archive into `store` as the archive itself would write the
// entry: same compression, same encryption. Cancelled when `stop` is set, or the
// run is interrupted: the scratch file is let go of, so that the clean-up can
// delete it.
std::optional<Failure> compress_into(zip_source_t* store, const std::string& native_path, bool stored_blocks,
                                     int level, const std::string& password, const std::atomic<bool>& stop) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_keep(store);  // the archive below takes one reference and gives it back when it goes
    std::unique_ptr<zip_t, DiscardArchive> scratch(zip_open_from_source(store, ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!scratch) {
        zip_source_free(store);
        const Failure failed = failure_of(&error);
        zip_error_fini(&error);
        return failed;
    }
    zip_error_fini(&error);
    const auto cancel = [](zip_t*, void* flag) {
        return static_cast<const std::atomic<bool>*>(flag)->load() || platform::interruption_started() ? 1 : 0;
    };
    zip_register_cancel_callback_with_state(scratch.get(), cancel, nullptr, const_cast<std::atomic<bool>*>(&stop));
    const auto fail = [&]() -> std::optional<Failure> { return failure_of(zip_get_error(scratch.get())); };
    OwnedSource file(file_entry_source(scratch.get(), native_path, stored_blocks));
    if (!file || zip_file_add(scratch.get(), "entry", file.get(), 0) < 0) return fail();
    file.release();  // the archive's now
    if (zip_set_file_compression(scratch.get(), 0, ZIP_CM_DEFLATE, static_cast<zip_uint32_t>(level)) != 0) {
        return fail();
    }
    if (!password.empty() && zip_file_set_encryption(scratch.get(), 0, ZIP_EM_AES_256, password.c_str()) != 0) {
        return fail();
    }
    if (zip_close(scratch.get()) != 0) return fail();
    scratch.release();  // closed, and so freed
    return std::nullopt;
}

}  // namespace

bool EntryWorkers::takes(std::uint64_t size) { return size <= kLargestFile; }

EntryWorkers::EntryWorkers(int threads, int level, const std::string& password, std::string scratch_folder)
    : thread_count_(threads), level_(level), scratch_folder_(std::move(scratch_folder)) {
    password_.assign(password);
}

EntryWorkers::~EntryWorkers() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.store(true);
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    for (Job& job : jobs_) discard(job);
}

std::size_t EntryWorkers::add(std::string native_path, std::uint64_t size, bool stored_blocks) {
    Job& job = jobs_.emplace_back();
    job.native_path = std::move(native_path);
    job.size = size;
    job.stored_blocks = stored_blocks;
    job.in_memory = size <= kInMemoryLimit;
    return jobs_.size() - 1;
}

void EntryWorkers::start(std::vector<std::size_t> order) {
    order_ = std::move(order);
    if (order_.size() != jobs_.size()) throw std::logic_error("EntryWorkers: the order must name every file once");
    const auto count = static_cast<std::size_t>(std::max(1, thread_count_));
    for (std::size_t i = 0; i < count && i < jobs_.size(); ++i) threads_.emplace_back([this] { work(); });
}

bool EntryWorkers::may_start(std::size_t position) const {
    if (position >= order_.size()) return false;
    if (position == released_) return true;  // the archive waits for this one
    if (position >= released_ + kFilesAheadPerWorker * threads_.size()) return false;
    const Job& job = jobs_[order_[position]];
    return job.in_memory ? memory_ahead_ + job.size <= kMemoryAhead : files_ahead_ + job.size <= kFilesAhead;
}

void EntryWorkers::work() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [&] { return stopping_ || next_to_start_ >= order_.size() || may_start(next_to_start_); });
        if (stopping_ || next_to_start_ >= order_.size()) return;
        const std::size_t number = order_[next_to_start_++];
        Job& job = jobs_[number];
        (job.in_memory ? memory_ahead_ : files_ahead_) += job.size;
        lock.unlock();
        make_scratch_or_fail(job, number);
        lock.lock();
        job.done = true;
        changed_.notify_all();
    }
}

// An exception that left a thread would end the program there and then, without
// its clean-up: it fails this entry instead, and the archive with it.
void EntryWorkers::make_scratch_or_fail(Job& job, std::size_t number) noexcept {
    try {
        make_scratch(job, number);
    } catch (const std::bad_alloc&) {
        job.result = ScratchEntry{nullptr, ZIP_ER_MEMORY, 0};
    } catch (...) {
        job.result = ScratchEntry{nullptr, ZIP_ER_INTERNAL, 0};
    }
}

void EntryWorkers::make_scratch(Job& job, std::size_t number) {
    std::optional<std::string> native;
    if (!job.in_memory) {
        job.scratch_text = scratch_folder_ + "\\entry" + std::to_string(number) + ".zip";
        native = platform::native_path(job.scratch_text);
        // Registered before it exists: an interruption from here on deletes it.
        job.scratch_if_interrupted = platform::RemovedIfInterrupted(job.scratch_text);
        if (!native) {
            job.result = ScratchEntry{nullptr, ZIP_ER_TMPOPEN, 0};
            return;
        }
    }
    // A file source knows its file as it was when made, so the scratch file is
    // read back through a new one.
    const auto new_store = [&](zip_error_t& error) {
        return native ? zip_source_file_create(native->c_str(), 0, -1, &error)
                      : zip_source_buffer_create(nullptr, 0, 0, &error);
    };
    zip_error_t error;
    zip_error_init(&error);
    OwnedSource store(new_store(error));
    if (store) {
        if (const auto failed =
                compress_into(store.get(), job.native_path, job.stored_blocks, level_, password_.text(), stop_)) {
            zip_error_set(&error, failed->zip_error, failed->system_error);
            store.reset();
        } else if (native) {
            store.reset();
            store.reset(new_store(error));
        }
    }
    job.result = ScratchEntry{store.release(), zip_error_code_zip(&error), zip_error_code_system(&error)};
    zip_error_fini(&error);
}

const ScratchEntry& EntryWorkers::take(std::size_t number, const std::function<void()>& waiting) {
    // An interrupted run may never finish the file: a worker may wait for the
    // clean-up, which waits for the archive to let go of its files.
    static const ScratchEntry interrupted{nullptr, ZIP_ER_CANCELLED, 0};
    std::unique_lock lock(mutex_);
    Job& job = jobs_.at(number);
    // Woken often enough that `waiting` can keep to its own pace.
    while (!changed_.wait_for(lock, kProgressEvery / 5, [&] { return job.done; })) {
        if (platform::interruption_started()) return interrupted;
        lock.unlock();
        waiting();
        lock.lock();
    }
    return job.result;
}

void EntryWorkers::release(std::size_t number) {
    std::unique_lock lock(mutex_);
    Job& job = jobs_.at(number);
    if (!job.done || job.released) return;
    job.released = true;
    (job.in_memory ? memory_ahead_ : files_ahead_) -= job.size;
    while (released_ < order_.size() && jobs_[order_[released_]].released) ++released_;
    lock.unlock();
    discard(job);
    changed_.notify_all();
}

void EntryWorkers::discard(Job& job) {
    if (job.result.archive != nullptr) zip_source_free(job.result.archive);
    job.result.archive = nullptr;
    // The clean-up deletes the scratch file, and holds the lock that forgetting it
    // would wait for: the archive, which lets go of an entry through here, must
    // not wait while it still holds its own files.
    if (platform::interruption_started()) return;
    if (!job.scratch_text.empty() && platform::attributes(job.scratch_text)) {
        try {
            platform::remove_file(job.scratch_text);
        } catch (...) {
            return;  // the staging folder goes with it
        }
    }
    job.scratch_if_interrupted.forget();
}

}  // namespace quillet::zip32
