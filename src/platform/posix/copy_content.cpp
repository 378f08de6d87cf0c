// Copying a file's bytes into its copy (copy_content.h).

#include "platform/posix/copy_content.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillet::platform::posix {

namespace {

// With a progress routine the copy runs on a thread of its own, in pieces sized
// to take about kReportEvery each, and the calling thread tells the routine every
// kReportEvery: a system call that waits (a disk busy with other work, the kernel
// holding a fast writer back) cannot keep the routine, and a window it keeps
// answering, waiting. Without one, the kernel copies in one go.
constexpr auto kReportEvery = std::chrono::milliseconds(25);
constexpr std::size_t kSmallestChunk = std::size_t{1} << 20;
constexpr std::size_t kLargestChunk = std::size_t{256} << 20;
constexpr std::size_t kWholeFile = std::size_t{1} << 62;
constexpr std::size_t kBufferSize = std::size_t{1} << 20;
constexpr std::uint64_t kThreadFrom = std::uint64_t{8} << 20;

// Failures that only the copy's side can have. Any other failure of the kernel's
// copy is left to the ordinary reading, which finds out which side it was.
bool copy_side_failure(int code) { return code == ENOSPC || code == EDQUOT || code == EFBIG || code == EROFS; }

enum class KernelCopy { done, target_failed, by_reading };

// Counts the bytes the copy has written, for the thread that reports them, and
// sizes the kernel's pieces.
class ProgressReport {
public:
    using Clock = std::chrono::steady_clock;
    ProgressReport(bool in_pieces, std::uint64_t total) : in_pieces_(in_pieces), total_(total) {}
    void restart() { copied_ = 0; }
    std::uint64_t copied() const { return copied_; }
    std::uint64_t total() const { return total_; }
    // As much as the file held when it was opened.
    bool reached_size() const { return copied_ >= total_; }
    std::size_t chunk() const { return in_pieces_ ? chunk_ : kWholeFile; }
    // False once the copy is to stop.
    bool add(std::uint64_t bytes) {
        copied_ += bytes;
        // A copy in one go has nothing to size: a small file spares the clock.
        if (!in_pieces_) return !stopped_;
        const Clock::time_point now = Clock::now();
        // The next piece of the kernel's copy is sized from how long this one took.
        const Clock::duration taken = now - piece_started_;
        if (taken < kReportEvery / 2) chunk_ = std::min(chunk_ * 2, kLargestChunk);
        if (taken > kReportEvery) chunk_ = std::max(chunk_ / 2, kSmallestChunk);
        piece_started_ = now;
        return !stopped_;
    }
    void stop() { stopped_ = true; }

private:
    bool in_pieces_;
    std::uint64_t total_;
    std::atomic<std::uint64_t> copied_ = 0;
    std::atomic<bool> stopped_ = false;
    std::size_t chunk_ = kSmallestChunk;  // grown while the pieces go quickly
    Clock::time_point piece_started_ = in_pieces_ ? Clock::now() : Clock::time_point{};
};

// Files that report no size (as some pseudo-files do) give nothing here and are
// read the ordinary way. A file that grows while it is copied is copied as far as
// it reached when it was opened; stopping there also spares a small file the call
// that would only find its end.
KernelCopy copy_in_kernel(int in, int out, ProgressReport& report) {
    for (;;) {
        const ssize_t copied = copy_file_range(in, nullptr, out, nullptr, report.chunk(), 0);
        if (copied > 0) {
            if (!report.add(static_cast<std::uint64_t>(copied))) return KernelCopy::target_failed;
            if (report.reached_size()) return KernelCopy::done;
            continue;
        }
        if (copied == 0) return report.copied() > 0 ? KernelCopy::done : KernelCopy::by_reading;
        if (errno == EINTR) continue;
        return copy_side_failure(errno) ? KernelCopy::target_failed : KernelCopy::by_reading;
    }
}

// Writes the whole of data where the file stands, or at `at`.
bool write_all(int out, const char* data, std::size_t size, off_t at = -1) {
    while (size > 0) {
        const ssize_t written = at < 0 ? ::write(out, data, size) : ::pwrite(out, data, size, at);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        if (at >= 0) at += written;
    }
    return true;
}

Failure copy_by_reading(int in, int out, ProgressReport& report) {
    std::vector<char> buffer(kBufferSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0) return Failure::none;
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failure::source;
        }
        if (!write_all(out, buffer.data(), static_cast<std::size_t>(got))) return Failure::target;
        if (!report.add(static_cast<std::uint64_t>(got))) return Failure::target;
    }
}

// One extent, where the kernel will not copy it (another file system): read and
// written here, at its own offsets.
Failure copy_extent_by_reading(int in, int out, off_t from, off_t to, ProgressReport& report) {
    std::vector<char> buffer(kBufferSize);
    while (from < to) {
        const auto wanted = static_cast<std::size_t>(std::min<off_t>(static_cast<off_t>(buffer.size()), to - from));
        const ssize_t got = ::pread(in, buffer.data(), wanted, from);
        if (got == 0) return Failure::none;  // the file shrank: the check for a changed source tells
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failure::source;
        }
        if (!write_all(out, buffer.data(), static_cast<std::size_t>(got), from)) return Failure::target;
        from += got;
        if (!report.add(static_cast<std::uint64_t>(got))) return Failure::target;
    }
    return Failure::none;
}

// One extent by the kernel's copy. Where the kernel will not copy between the
// two files (another file system), `refused` is set and the rest is read here.
Failure copy_extent_in_kernel(int in, int out, off_t from, off_t to, ProgressReport& report, bool& refused) {
    for (off_t in_at = from, out_at = from; in_at < to;) {
        const auto piece = std::min(report.chunk(), static_cast<std::size_t>(to - in_at));
        const ssize_t copied = copy_file_range(in, &in_at, out, &out_at, piece, 0);
        if (copied > 0) {
            if (!report.add(static_cast<std::uint64_t>(copied))) return Failure::target;
        } else if (copied == 0) {
            return Failure::none;  // the file shrank: the check for a changed source tells
        } else if (errno != EINTR) {
            if (copy_side_failure(errno)) return Failure::target;
            refused = true;
            return copy_extent_by_reading(in, out, in_at, to, report);
        }
    }
    return Failure::none;
}

// A copy that ends in a hole is made as long as its source. Setting the size is
// refused by some servers (restricted SFTP), writing its last byte is not.
bool ends_at(int out, off_t size) {
    struct stat written {};
    if (::fstat(out, &written) == 0 && written.st_size == size) return true;
    if (::ftruncate(out, size) == 0) return true;
    const char zero = 0;
    return size > 0 && ::pwrite(out, &zero, 1, size - 1) == 1;
}

// A file with holes is copied extent by extent, and keeps its holes: the kernel's
// copy, or a plain one, would write them out as zeros. The holes count as copied.
Failure copy_data_extents(int in, int out, ProgressReport& report) {
    const auto size = static_cast<off_t>(report.total());
    bool kernel_refused = false;
    for (off_t offset = 0; offset < size;) {
        off_t data = ::lseek(in, offset, SEEK_DATA);
        if (data < 0 && errno != ENXIO) return copy_extent_by_reading(in, out, offset, size, report);
        data = data < 0 ? size : std::min(data, size);  // ENXIO: only a hole is left
        off_t hole = data < size ? ::lseek(in, data, SEEK_HOLE) : size;
        if (hole < 0) return copy_extent_by_reading(in, out, data, size, report);
        hole = std::min(hole, size);
        if (!report.add(static_cast<std::uint64_t>(data - offset))) return Failure::target;
        const Failure failure = kernel_refused ? copy_extent_by_reading(in, out, data, hole, report)
                                               : copy_extent_in_kernel(in, out, data, hole, report, kernel_refused);
        if (failure != Failure::none) return failure;
        offset = hole;
    }
    return ends_at(out, size) ? Failure::none : Failure::target;
}

Failure copy_all(int in, int out, ProgressReport& report, bool holes) {
    if (holes) return copy_data_extents(in, out, report);
    switch (copy_in_kernel(in, out, report)) {
        case KernelCopy::done:
            return Failure::none;
        case KernelCopy::target_failed:
            return Failure::target;
        case KernelCopy::by_reading:
            break;
    }
    // Start again from the beginning: the kernel may have copied part of it. A copy
    // still empty is left alone: a network file system would ask its server to
    // truncate it, and some servers refuse.
    const bool written = report.copied() > 0;
    report.restart();
    if (::lseek(in, 0, SEEK_SET) != 0) return Failure::source;
    if (written && (::lseek(out, 0, SEEK_SET) != 0 || ::ftruncate(out, 0) != 0)) return Failure::target;
    return copy_by_reading(in, out, report);
}

// Copies on the calling thread, and tells the routine once the whole is copied.
Failure copy_then_tell(int in, int out, ProgressReport& report, bool holes, const CopyProgress& progress) {
    const Failure failure = copy_all(in, out, report, holes);
    if (failure == Failure::none) progress(report.copied(), report.total());
    return failure;
}

// A progress routine that throws stops the copy, and the exception goes on to
// the caller once the copy's thread has ended. A small file is copied at once,
// and told of when it is done: a thread would cost it more than it saves. So is a
// large one when no thread can be had (a limit on the processes a user or a
// container may run): the window then waits, but the file is copied.
Failure copy_content_reporting(int in, int out, ProgressReport& report, bool holes,
                               const CopyProgress& progress) {
    if (!progress) return copy_all(in, out, report, holes);
    if (report.total() < kThreadFrom) return copy_then_tell(in, out, report, holes, progress);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    Failure failure = Failure::none;
    int reason = 0;
    std::thread copier;
    try {
        copier = std::thread([&] {
            const Failure result = copy_all(in, out, report, holes);
            const int code = errno;
            const std::lock_guard lock(mutex);
            failure = result;
            reason = code;
            done = true;
            finished.notify_one();
        });
    } catch (const std::system_error&) {
        return copy_then_tell(in, out, report, holes, progress);
    }
    try {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, kReportEvery, [&] { return done; })) {
            lock.unlock();
            progress(report.copied(), report.total());
            lock.lock();
        }
        lock.unlock();
        copier.join();
        if (failure == Failure::none) progress(report.copied(), report.total());  // the whole of it
    } catch (...) {
        report.stop();
        if (copier.joinable()) copier.join();
        throw;
    }
    errno = reason;
    return failure;
}

}  // namespace

Failure copy_content(int in, int out, std::uint64_t size, bool holes, const CopyProgress& progress,
                     std::uint64_t& copied) {
    // A small file is copied at once even with a progress routine (copy_content_reporting).
    ProgressReport report(progress && size >= kThreadFrom, size);
    const Failure failure = copy_content_reporting(in, out, report, holes, progress);
    copied = report.copied();
    return failure;
}

}  // namespace quillet::platform::posix
