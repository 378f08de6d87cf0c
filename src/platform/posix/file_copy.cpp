// Copying a file's content: copy_file_range lets the kernel (or the file system,
// by reflink) do the work; read/write is the fallback where it cannot.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/last_folder.h"

namespace quillet::platform {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool valid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    // Closes now, so that a failure to write back buffered data is seen.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// With a progress routine the kernel copies in pieces, so that it can be told now
// and then; without one, in one go.
constexpr std::size_t kChunkWithProgress = std::size_t{64} << 20;
constexpr std::size_t kWholeFile = std::size_t{1} << 62;
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

bool kernel_cannot_copy(int code) {
    return code == EXDEV || code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == EBADF;
}

enum class KernelCopy { done, failed, unsupported };

// Counts the bytes copied and tells the caller's progress routine, when there is one.
class ProgressReport {
public:
    ProgressReport(const CopyProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {}
    void restart() { copied_ = 0; }
    std::uint64_t copied() const { return copied_; }
    // As much as the file held when it was opened.
    bool reached_size() const { return copied_ >= total_; }
    std::size_t chunk() const { return progress_ ? kChunkWithProgress : kWholeFile; }
    void add(std::uint64_t bytes) {
        copied_ += bytes;
        if (progress_) progress_(copied_, total_);
    }

private:
    const CopyProgress& progress_;
    std::uint64_t total_;
    std::uint64_t copied_ = 0;
};

// Files that report no size (as some pseudo-files do) give nothing here and are
// read the ordinary way. A file that grows while it is copied is copied as far as
// it reached when it was opened; stopping there also spares a small file the call
// that would only find its end.
KernelCopy copy_in_kernel(int in, int out, ProgressReport& report) {
    for (;;) {
        const ssize_t copied = copy_file_range(in, nullptr, out, nullptr, report.chunk(), 0);
        if (copied > 0) {
            report.add(static_cast<std::uint64_t>(copied));
            if (report.reached_size()) return KernelCopy::done;
            continue;
        }
        if (copied == 0) return report.copied() > 0 ? KernelCopy::done : KernelCopy::unsupported;
        if (errno == EINTR) continue;
        if (report.copied() == 0 && kernel_cannot_copy(errno)) return KernelCopy::unsupported;
        return KernelCopy::failed;
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

bool copy_by_reading(int in, int out, ProgressReport& report) {
    std::vector<char> buffer(kBufferSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!write_all(out, buffer.data(), static_cast<std::size_t>(got))) return false;
        report.add(static_cast<std::uint64_t>(got));
    }
}

bool copy_content(int in, int out, ProgressReport& report) {
    switch (copy_in_kernel(in, out, report)) {
        case KernelCopy::done:
            return true;
        case KernelCopy::failed:
            return false;
        case KernelCopy::unsupported:
            break;
    }
    // Start again from the beginning: the kernel may have copied part of it.
    report.restart();
    return ::lseek(in, 0, SEEK_SET) == 0 && ::lseek(out, 0, SEEK_SET) == 0 && ::ftruncate(out, 0) == 0 &&
           copy_by_reading(in, out, report);
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
    mode_t permissions = 0;
    std::uint64_t size = 0;
    timespec access_and_write[2] = {};
};

bool read_status(int in, SourceStatus& status) {
    struct stat info {};
    if (::fstat(in, &info) != 0) return false;
    if (S_ISDIR(info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    status.permissions = info.st_mode & 0777;
    status.size = static_cast<std::uint64_t>(info.st_size);
    status.access_and_write[0] = info.st_atim;
    status.access_and_write[1] = info.st_mtim;
    return true;
}

// The permissions the umask took at the creation, and the times; set through the
// open file, before it is closed, as some network file systems would otherwise
// stamp the last write time again when the closing sends the data.
bool finish_copy(int out, const SourceStatus& source) {
    if ((source.permissions & creation_mask()) != 0 && ::fchmod(out, source.permissions) != 0) return false;
    ::futimens(out, source.access_and_write);
    return true;
}

// Created in the folder that the last copies went into, which is mostly where the
// next one goes too.
int create_target(const std::string& target, mode_t permissions, posix::FolderRelative& where) {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    where = posix::in_last_folder(target);
    const int fd = ::openat(where.folder, where.name, kFlags, permissions);
    if (fd >= 0 || errno != ENOENT || where.folder == AT_FDCWD) return fd;
    // The open folder may have been deleted since and another made at its path.
    posix::forget_last_folder();
    where = posix::in_last_folder(target);
    return ::openat(where.folder, where.name, kFlags, permissions);
}

CopyResult copy_open_file(int in, const std::string& target, const CopyProgress& progress) {
    SourceStatus source;
    if (!read_status(in, source)) return CopyResult::failed;
    if (source.size >= kAdviseFrom) ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);

    posix::FolderRelative where{};
    Descriptor out(create_target(target, source.permissions, where));
    if (!out.valid()) return errno == EEXIST ? CopyResult::target_exists : CopyResult::failed;
    ProgressReport report(progress, source.size);
    const bool copied = copy_content(in, out.get(), report) && finish_copy(out.get(), source);
    int reason = errno;
    const bool closed = out.close();
    if (copied && closed) return CopyResult::copied;
    if (copied) reason = errno;
    ::unlinkat(where.folder, where.name, 0);
    errno = reason;
    return CopyResult::failed;
}

}  // namespace

CopyResult copy_file(std::string_view source_text, std::string_view target_text, const CopyProgress& progress) {
    const auto source = native_path(source_text);
    const auto target = native_path(target_text);
    if (!source || !target) {
        errno = ENOENT;
        return CopyResult::failed;
    }
    Descriptor in(::open(source->c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return CopyResult::failed;
    return copy_open_file(in.get(), *target, progress);
}

}  // namespace quillet::platform
