// Copying a file's content: copy_file_range lets the kernel (or the file system,
// by reflink) do the work; read/write is the fallback where it cannot.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/platform.h"

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

// Tells the caller's progress routine, when there is one, how far the copy is.
class ProgressReport {
public:
    ProgressReport(const CopyProgress& progress, std::uint64_t total) : progress_(progress), total_(total) {}
    void restart() { copied_ = 0; }
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
// read the ordinary way.
KernelCopy copy_in_kernel(int in, int out, ProgressReport& report) {
    bool copied_any = false;
    for (;;) {
        const ssize_t copied = copy_file_range(in, nullptr, out, nullptr, report.chunk(), 0);
        if (copied > 0) {
            copied_any = true;
            report.add(static_cast<std::uint64_t>(copied));
            continue;
        }
        if (copied == 0) return copied_any ? KernelCopy::done : KernelCopy::unsupported;
        if (errno == EINTR) continue;
        if (!copied_any && kernel_cannot_copy(errno)) return KernelCopy::unsupported;
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

bool copy_open_file(int in, const std::string& target, const CopyProgress& progress) {
    struct stat source_info {};
    if (::fstat(in, &source_info) != 0) return false;
    if (S_ISDIR(source_info.st_mode)) {
        errno = EISDIR;
        return false;
    }
    // Owner-only until the content is complete, then the source's permissions.
    Descriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!out.valid()) return false;
    ProgressReport report(progress, static_cast<std::uint64_t>(source_info.st_size));
    const bool copied = copy_content(in, out.get(), report) && ::fchmod(out.get(), source_info.st_mode & 0777) == 0;
    int reason = errno;
    const bool closed = out.close();
    if (copied && closed) return true;
    if (copied) reason = errno;
    ::unlink(target.c_str());
    errno = reason;
    return false;
}

}  // namespace

bool copy_file(std::string_view source_text, std::string_view target_text, const CopyProgress& progress) {
    const auto source = native_path(source_text);
    const auto target = native_path(target_text);
    if (!source || !target) {
        errno = ENOENT;
        return false;
    }
    Descriptor in(::open(source->c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid()) return false;
    ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    return copy_open_file(in.get(), *target, progress);
}

}  // namespace quillet::platform
