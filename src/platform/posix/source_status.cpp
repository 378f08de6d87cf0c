// A copy's source (source_status.h).

#include "platform/posix/source_status.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <cerrno>

namespace quillet::platform::posix {

namespace {

// Small files are left to the plain copy: data kept inside the inode or
// compressed counts no blocks either.
constexpr std::uint64_t kSmallestSparseFile = std::uint64_t{1} << 20;

// The kernel's own file systems: their files hold no data of their own, and tell
// a size they do not hold (sysfs says 4096 bytes) or none at all.
bool on_kernel_file_system(int fd) {
    constexpr unsigned long kMessageQueueMagic = 0x19800202;
    struct statfs file_system {};
    if (::fstatfs(fd, &file_system) != 0) return false;
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

dev_t process_file_system() {
    struct stat info {};
    return ::stat("/proc", &info) == 0 ? info.st_dev : 0;
}

// The kernel's own files say they are regular and answer reads without end
// (/proc/self/pagemap, /proc/kcore) or wait for events (tracefs's trace_pipe): no
// data to keep. Most say they are empty; the others are on /proc, so a file of
// another size elsewhere is not asked about.
bool kernel_file(int in, const struct stat& info) {
    static const dev_t proc = process_file_system();
    if (info.st_size != 0 && info.st_dev != proc) return false;
    return on_kernel_file_system(in);
}

bool same_write_time(const struct stat& now, const SourceStatus& before) {
    const timespec& written = before.access_and_write[1];
    return now.st_mtim.tv_sec == written.tv_sec && now.st_mtim.tv_nsec == written.tv_nsec;
}

}  // namespace

// A FIFO would hold open() until something writes into it: the source is opened
// without waiting, and read only once it is known to be a regular file.
int open_source(const std::string& native) {
    const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    // A file that another program holds a lease on (a file server does) is waited
    // for, as any other reader would wait, rather than reported.
    if (fd < 0 && errno == EWOULDBLOCK) return ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    return fd;
}

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
    status.holes = status.size >= kSmallestSparseFile && static_cast<std::uint64_t>(info.st_blocks) * 512 < status.size;
    status.access_and_write[0] = info.st_atim;
    status.access_and_write[1] = info.st_mtim;
    return CopyResult::copied;
}

bool changed_since(int in, const SourceStatus& before) {
    struct stat now {};
    if (::fstat(in, &now) != 0) return false;
    return static_cast<std::uint64_t>(now.st_size) != before.size || !same_write_time(now, before);
}

// A source that neither shrank nor was written to but gave fewer bytes than its
// size failed to deliver them (a network file system that lost its server ends
// its reads early): so short a copy must never take the name. One that changed
// is reported as changed.
bool fell_short(int in, const SourceStatus& source, std::uint64_t copied) {
    if (copied >= source.size) return false;
    struct stat now {};
    if (::fstat(in, &now) != 0) return true;
    const bool unchanged = static_cast<std::uint64_t>(now.st_size) >= source.size && same_write_time(now, source);
    return unchanged && !on_kernel_file_system(in);
}

}  // namespace quillet::platform::posix
