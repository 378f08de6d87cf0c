// Lines appended to a log file, each line with its end in one write.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/platform.h"
#include "platform/posix/language_errors.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

void append_line_to_file(std::string_view path_text, std::string_view line) {
    const auto native = native_path(path_text);
    if (!native) throw vb::error(vb::kPathNotFound);
    const int fd = open(native->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw posix::language_error(errno, vb::kPathNotFound);
    std::string record(line);
    record += '\n';
    const bool written = write_all(fd, record);
    const int write_errno = errno;
    const bool closed = close(fd) == 0;
    if (!written) throw posix::language_error(write_errno, vb::kPathNotFound);
    if (!closed) throw posix::language_error(errno, vb::kPathNotFound);
}

}  // namespace quillet::platform
