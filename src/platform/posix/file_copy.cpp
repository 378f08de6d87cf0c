// Copying a file's content: a clone (FICLONE) where the file system shares blocks
// between files, else copy_file_range lets the kernel (or the file system, by
// reflink) do the work; read/write is the fallback where it cannot, and tells
// a failure to read the source from a failure to write the copy. The copy is
// written into a file without a name that gets its name only once its bytes are
// complete (copy_names.h), so that a run cut short, even by SIGKILL or a power
// cut, leaves no part of a file behind; where the file system cannot make such a
// file, the copy claims a temporary name first and is removed when it fails.
// Making the copy and naming it are two steps, which may run on two threads.

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/copy_names.h"
#include "platform/posix/descriptor.h"

namespace quillet::platform {

using posix::Descriptor;
using posix::NameSequence;
using posix::NewCopy;
using posix::create_copy;
using posix::give_name;

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
// Which side of a copy failed.
enum class Failure { none, source, target };

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

bool write_all(int out, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(out, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
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

bool write_all_at(int out, const char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t written = ::pwrite(out, data, size, at);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
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
        if (!write_all_at(out, buffer.data(), static_cast<std::size_t>(got), from)) return Failure::target;
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

Failure copy_content(int in, int out, ProgressReport& report, bool holes) {
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
    const Failure failure = copy_content(in, out, report, holes);
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
    if (!progress) return copy_content(in, out, report, holes);
    if (report.total() < kThreadFrom) return copy_then_tell(in, out, report, holes, progress);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    Failure failure = Failure::none;
    int reason = 0;
    std::thread copier;
    try {
        copier = std::thread([&] {
            const Failure result = copy_content(in, out, report, holes);
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

// The permission bits the process's umask takes from new files, read once; all of
// them when it cannot be read, so that the copy then always sets its bits itself.
mode_t creation_mask() {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("Umask:")) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
        return mode_t{0777};
    }();
    return mask;
}

// Large files are read ahead further; small ones gain nothing from the advice.
constexpr std::uint64_t kAdviseFrom = std::uint64_t{1} << 20;

// Before the copy reads the source, so that reading cannot move its access time first.
struct SourceStatus {
    dev_t device = 0;
    mode_t permissions = 0;
    std::uint64_t size = 0;
    bool holes = false;  // fewer blocks than its size needs: a large sparse file
    timespec access_and_write[2] = {};
};

// A FIFO would hold open() until something writes into it: the source is opened
// without waiting, and read only once it is known to be a regular file.
int open_source(const std::string& native) {
    const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // A file that another program holds a lease on (a file server does) is waited
    // for, as any other reader would wait, rather than reported.
    if (fd < 0 && errno == EWOULDBLOCK) return ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    return fd;
}

dev_t process_file_system() {
    struct stat info {};
    return ::stat("/proc", &info) == 0 ? info.st_dev : 0;
}

// The kernel's own files say they are regular and answer reads without end
// (/proc/self/pagemap, /proc/kcore): no data to keep. Most say they are empty;
// the others are on /proc, so a file of another size elsewhere is not asked about.
bool kernel_file(int in, const struct stat& info) {
    static const dev_t proc = process_file_system();
    if (info.st_size != 0 && info.st_dev != proc) return false;
    struct statfs file_system {};
    return ::fstatfs(in, &file_system) == 0 &&
           (file_system.f_type == PROC_SUPER_MAGIC || file_system.f_type == SYSFS_MAGIC);
}

// copied when the source is a regular file, ready to be read.
CopyResult read_status(int in, SourceStatus& status) {
    struct stat info {};
    if (::fstat(in, &info) != 0) return CopyResult::source_failed;
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return CopyResult::source_failed;
    }
    // A regular file's reads wait for the disk whatever O_NONBLOCK says, so the flag
    // that kept a FIFO's open from waiting can stay.
    if (!S_ISREG(info.st_mode) || kernel_file(in, info)) return CopyResult::not_regular;
    status.device = info.st_dev;
    status.permissions = info.st_mode & 0777;
    status.size = static_cast<std::uint64_t>(info.st_size);
    // Small files are left to the plain copy: data kept inside the inode or
    // compressed counts no blocks either.
    status.holes = status.size >= kSmallestChunk && static_cast<std::uint64_t>(info.st_blocks) * 512 < status.size;
    status.access_and_write[0] = info.st_atim;
    status.access_and_write[1] = info.st_mtim;
    return CopyResult::copied;
}

bool changed_since(int in, const SourceStatus& before) {
    struct stat now {};
    if (::fstat(in, &now) != 0) return false;
    const timespec& written = before.access_and_write[1];
    return static_cast<std::uint64_t>(now.st_size) != before.size || now.st_mtim.tv_sec != written.tv_sec ||
           now.st_mtim.tv_nsec != written.tv_nsec;
}

// The kernel's own files tell a size they do not hold (sysfs says 4096 bytes).
bool told_size_is_nominal(int in) {
    constexpr unsigned long kMessageQueueMagic = 0x19800202;
    struct statfs file_system {};
    if (::fstatfs(in, &file_system) != 0) return false;
    switch (static_cast<unsigned long>(file_system.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case kMessageQueueMagic:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case BPF_FS_MAGIC:
        case EFIVARFS_MAGIC:
            return true;
        default:
            return false;
    }
}

// A source that neither shrank nor was written to but gave fewer bytes than its
// size failed to deliver them (a network file system that lost its server ends
// its reads early): so short a copy must never take the name. One that changed
// is reported as changed.
bool fell_short(int in, const SourceStatus& source, std::uint64_t copied) {
    if (copied >= source.size) return false;
    struct stat now {};
    if (::fstat(in, &now) != 0) return true;
    const timespec& written = source.access_and_write[1];
    const bool unchanged = static_cast<std::uint64_t>(now.st_size) >= source.size &&
                           now.st_mtim.tv_sec == written.tv_sec && now.st_mtim.tv_nsec == written.tv_nsec;
    return unchanged && !told_size_is_nominal(in);
}

// A file system that keeps no permissions refuses to set them: the copy is whole,
// and only ever narrower than its source. FAT in the kernel says EPERM, and a
// server behind FUSE that will not set them (SFTP) EPERM or EACCES; elsewhere
// these are refusals that must not pass in silence.
bool keeps_no_permissions(int out, int code) {
    constexpr unsigned long kNtfsMagic = 0x7366746e;  // the kernel's ntfs3
    if (code == ENOSYS || code == EOPNOTSUPP) return true;
    struct statfs file_system {};
    if ((code != EPERM && code != EACCES) || ::fstatfs(out, &file_system) != 0) return false;
    const auto type = static_cast<unsigned long>(file_system.f_type);
    if (type == FUSE_SUPER_MAGIC) return true;
    return code == EPERM && (type == MSDOS_SUPER_MAGIC || type == EXFAT_SUPER_MAGIC || type == kNtfsMagic);
}

// The permissions the umask took at the creation, and the times; set through the
// open file, before it is closed, as some network file systems would otherwise
// stamp the last write time again when the closing sends the data.
bool finish_copy(int out, const SourceStatus& source) {
    if ((source.permissions & creation_mask()) != 0 && ::fchmod(out, source.permissions) != 0 &&
        !keeps_no_permissions(out, errno)) {
        return false;
    }
    ::futimens(out, source.access_and_write);
    return true;
}

CopyResult failed_copy(const NewCopy& copy, CopyResult result) {
    const int reason = errno;
    if (!copy.unnamed) ::unlinkat(copy.where.folder, copy.where.name, 0);
    errno = reason;
    return result;
}

// Where the file systems can share blocks between files (btrfs, XFS), the copy
// shares the source's and copies no data. A file system that cannot clone says so
// at once, but once a file is enough: the refusal is remembered for the source's
// device and the copy's folder, which the next files mostly share.
class CloneRefusals {
public:
    bool known(dev_t source, std::string_view folder) const {
        return refused_ && source == source_ && folder == folder_;
    }
    void remember(dev_t source, std::string_view folder) {
        refused_ = true;
        source_ = source;
        folder_ = folder;
    }

private:
    bool refused_ = false;
    dev_t source_ = 0;
    std::string folder_;
};

// The file systems' answers that mean "not here": no clone support, another file
// system, a file the clone cannot take.
bool clone_refused(int code) { return code == EOPNOTSUPP || code == ENOTTY || code == EXDEV || code == EINVAL; }

bool cloned(int in, int out, const SourceStatus& source, const NewCopy& copy) {
    thread_local CloneRefusals refusals;
    const std::string_view folder = std::string_view(copy.native).substr(0, copy.native.rfind('/') + 1);
    if (refusals.known(source.device, folder)) return false;
    if (::ioctl(out, FICLONE, in) == 0) return true;
    if (clone_refused(errno)) {
        refusals.remember(source.device, folder);
    } else if (::ftruncate(out, 0) != 0) {
        return false;  // the ordinary copy then finds out what is wrong
    }
    return false;
}

}  // namespace

// The copy made, open while it has no name.
struct MadeCopy::Host {
    NewCopy copy;
    int out = -1;
    std::uint64_t bytes = 0;
    bool source_changed = false;
    bool target_tried = false;
    // A complete copy under a temporary name that nobody has taken over yet.
    bool owns_temporary = false;

    Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    // Unnamed, it vanishes with its descriptor; a temporary name is removed, by its
    // path: the folder it was looked up in may be closed by now.
    ~Host() {
        if (out >= 0) ::close(out);
        if (owns_temporary) ::unlink(copy.native.c_str());
    }
};

MadeCopy::MadeCopy() = default;
MadeCopy::~MadeCopy() = default;
MadeCopy::MadeCopy(MadeCopy&& other) noexcept = default;
MadeCopy& MadeCopy::operator=(MadeCopy&& other) noexcept = default;

namespace {

// Writes the copy; it keeps its descriptor while it has no name.
CopyResult make_open_file(int in, const CopyNames& names, const CopyProgress& progress, MadeCopy::Host& made) {
    SourceStatus source;
    if (const CopyResult refused = read_status(in, source); refused != CopyResult::copied) return refused;
    if (source.size >= kAdviseFrom) ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);

    NameSequence sequence(names);
    NewCopy& copy = made.copy;
    Descriptor out(create_copy(sequence, source.permissions, copy));
    made.target_tried = sequence.target_tried();
    if (!out.valid()) return errno == EEXIST ? CopyResult::target_exists : CopyResult::failed;
    // A small file is copied at once even with a progress routine (copy_content_reporting).
    ProgressReport report(progress && source.size >= kThreadFrom, source.size);
    Failure failure = Failure::none;
    try {
        if (cloned(in, out.get(), source, copy)) {
            report.add(source.size);
            if (progress) progress(report.copied(), report.total());
        } else {
            failure = copy_content_reporting(in, out.get(), report, source.holes, progress);
        }
    } catch (...) {
        // A progress routine that throws leaves no part of the copy behind either.
        failed_copy(copy, CopyResult::failed);
        throw;
    }
    CopyResult result = CopyResult::copied;
    if (failure != Failure::none) {
        result = failure == Failure::source ? CopyResult::source_failed : CopyResult::failed;
    } else if (fell_short(in, source, report.copied())) {
        errno = EIO;
        result = CopyResult::source_failed;
    } else if (!finish_copy(out.get(), source) || (!copy.unnamed && !out.close())) {
        // Closing a named copy may report data that could not be written back after all.
        result = CopyResult::failed;
    }
    if (result != CopyResult::copied) return failed_copy(copy, result);
    made.bytes = report.copied();
    made.source_changed = changed_since(in, source);
    if (copy.unnamed) {
        made.out = out.release();
    } else {
        made.owns_temporary = true;
    }
    return CopyResult::copied;
}

}  // namespace

CopyResult make_copy(std::string_view source_text, const CopyNames& names, const CopyProgress& progress,
                     MadeCopy& made) {
    made.host_.reset();
    const auto source = native_path(source_text);
    if (!source) {
        errno = ENOENT;
        return CopyResult::source_failed;
    }
    Descriptor in(open_source(*source));
    // A socket cannot be opened at all.
    if (!in.valid()) return errno == ENXIO ? CopyResult::not_regular : CopyResult::source_failed;
    auto host = std::make_unique<MadeCopy::Host>();
    const CopyResult result = make_open_file(in.get(), names, progress, *host);
    if (result == CopyResult::copied) made.host_ = std::move(host);
    return result;
}

CopyResult name_copy(MadeCopy& made, const CopyNames& names, CopyFacts* facts) {
    const std::unique_ptr<MadeCopy::Host> host = std::move(made.host_);
    if (!host) {
        errno = EINVAL;
        return CopyResult::failed;
    }
    NewCopy& copy = host->copy;
    if (copy.unnamed) {
        // The folder as this thread finds it, which may be open already.
        copy.where = posix::in_last_folder(copy.native);
        NameSequence sequence(names, host->target_tried);
        Descriptor out(std::exchange(host->out, -1));
        if (!give_name(out.get(), sequence, copy)) {
            return errno == EEXIST ? CopyResult::target_exists : CopyResult::failed;
        }
        copy.unnamed = false;  // it has a name now, which a failure from here on removes
        // Closing may report data that could not be written back after all.
        if (!out.close()) return failed_copy(copy, CopyResult::failed);
    }
    host->owns_temporary = false;  // in the caller's hands now
    if (facts != nullptr) {
        facts->bytes = host->bytes;
        facts->source_changed = host->source_changed;
        facts->name = std::move(copy.name.text);
        facts->in_place = copy.name.final;
        facts->if_interrupted = std::move(copy.if_interrupted);
    }
    return CopyResult::copied;
}

}  // namespace quillet::platform
