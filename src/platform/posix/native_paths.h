#pragma once
// Path text turned into native paths for the system calls of this folder.

#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillet::platform::posix {

// The native path; empty for a drive or share that is not mapped, which then
// reads as a missing name (ENOENT) to whoever asks for the last error.
inline std::optional<std::string> native_or_missing(std::string_view path_text) {
    auto native = native_path(path_text);
    if (!native) errno = ENOENT;
    return native;
}

// The status of what the path text names, links followed; empty when nothing is there.
inline std::optional<struct stat> status_of(std::string_view path_text) {
    const auto native = native_or_missing(path_text);
    struct stat status {};
    if (!native || ::stat(native->c_str(), &status) != 0) return std::nullopt;
    return status;
}

}  // namespace quillet::platform::posix
