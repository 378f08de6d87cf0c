#pragma once
// The file that is running, as /proc tells it.

#include <unistd.h>

#include <optional>
#include <string>

namespace quillet::platform::posix {

// Its path under the name it is stored as now, whatever folder and name it was
// started from; empty where /proc cannot say.
inline std::optional<std::string> running_program_path() {
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

}  // namespace quillet::platform::posix
