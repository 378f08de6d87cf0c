// The last failure of a system call: errno, and its text in the system's words.

#include <cerrno>
#include <cstring>

#include "platform/platform.h"

namespace quillet::platform {

int last_error() { return errno; }

bool last_error_means_missing() { return errno == ENOENT || errno == ENOTDIR; }

std::string last_error_text() {
    const int code = errno;
    if (code == 0) return {};
    return std::string(std::strerror(code)) + "\r\n";
}

}  // namespace quillet::platform
