// File attributes through stat, links followed: a link to a folder is a folder.

#include <sys/stat.h>

#include <cerrno>

#include "platform/platform.h"

namespace quillet::platform {

std::optional<Attributes> attributes(std::string_view path_text) {
    const auto native = native_path(path_text);
    if (!native) {
        errno = ENOENT;
        return std::nullopt;
    }
    struct stat status {};
    if (stat(native->c_str(), &status) != 0) return std::nullopt;
    return Attributes{.directory = S_ISDIR(status.st_mode)};
}

}  // namespace quillet::platform
