// File attributes through stat, links followed: a link to a folder is a folder.

#include <sys/stat.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

std::optional<Attributes> attributes(std::string_view path_text) {
    const auto status = posix::status_of(path_text);
    if (!status) return std::nullopt;
    return Attributes{.directory = S_ISDIR(status->st_mode)};
}

}  // namespace quillet::platform
