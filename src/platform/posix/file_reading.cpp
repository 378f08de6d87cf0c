// Reading a whole file, and telling files apart whatever path names them.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"
#include "platform/posix/native_paths.h"
#include "platform/posix/language_errors.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

// Appends everything left in the file; false on a read error (errno says why).
bool read_all(int fd, std::string& bytes) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        if (count == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
}

}  // namespace

std::string read_file(std::string_view path_text) {
    const auto native = native_path(path_text);
    if (!native) throw vb::error(vb::kPathNotFound);
    const int fd = open(native->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw posix::language_error(errno, vb::kFileNotFound);
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        close(fd);
        throw vb::error(vb::kPathFileAccessError);
    }
    std::string bytes;
    const bool complete = read_all(fd, bytes);
    const int read_errno = errno;
    close(fd);
    if (!complete) throw posix::language_error(read_errno, vb::kFileNotFound);
    return bytes;
}

std::optional<FileIdentity> file_identity(std::string_view path_text) {
    const auto status = posix::status_of(path_text);
    if (!status) return std::nullopt;
    return FileIdentity{.device = static_cast<std::uint64_t>(status->st_dev),
                        .file = static_cast<std::uint64_t>(status->st_ino)};
}

}  // namespace quillet::platform
