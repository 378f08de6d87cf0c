// Reading a whole file, and telling files apart whatever path names them.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/native_paths.h"
#include "platform/posix/language_errors.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

// Appends what is left in the file, one byte beyond the limit at most; false on a
// read error (errno says why).
bool read_up_to(int fd, std::size_t limit, std::string& bytes) {
    char buffer[64 * 1024];
    while (bytes.size() <= limit) {
        const std::size_t wanted = std::min(sizeof buffer, limit + 1 - bytes.size());
        const ssize_t count = read(fd, buffer, wanted);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        if (count == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return true;
}

}  // namespace

FileRead read_regular_file(std::string_view path_text, std::size_t byte_limit, std::string& bytes) {
    bytes.clear();
    const auto native = native_path(path_text);
    if (!native) throw vb::error(vb::kPathNotFound);
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const posix::Descriptor file(open(native->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid()) throw posix::language_error(errno, vb::kFileNotFound);
    const int fd = file.get();
    struct stat status {};
    if (fstat(fd, &status) != 0) throw posix::language_error(errno, vb::kFileNotFound);
    if (!S_ISREG(status.st_mode)) return FileRead::not_a_regular_file;
    if (static_cast<std::uint64_t>(status.st_size) > byte_limit) return FileRead::too_large;
    // The size may have grown since it was read: the limit holds for what is read.
    if (!read_up_to(fd, byte_limit, bytes)) throw posix::language_error(errno, vb::kFileNotFound);
    if (bytes.size() > byte_limit) {
        bytes.clear();
        return FileRead::too_large;
    }
    return FileRead::read;
}

std::optional<FileIdentity> file_identity(std::string_view path_text) {
    const auto status = posix::status_of(path_text);
    if (!status) return std::nullopt;
    return FileIdentity{.device = static_cast<std::uint64_t>(status->st_dev),
                        .file = static_cast<std::uint64_t>(status->st_ino)};
}

}  // namespace quillet::platform
