// File attributes and identity through stat, links followed: a link to a folder
// is a folder.

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

bool same_file(std::string_view first_text, std::string_view second_text) {
    const auto first = posix::status_of(first_text);
    const auto second = posix::status_of(second_text);
    return first && second && first->st_dev == second->st_dev && first->st_ino == second->st_ino;
}

}  // namespace quillet::platform
