// File attributes through GetFileAttributesExW, links followed: a link to a
// folder is a folder.

#include "platform/platform.h"
#include "platform/win32/file_status.h"

namespace quillet::platform {

std::optional<Attributes> attributes(std::string_view path_text) {
    const auto data = win32::followed_attributes(path_text);
    if (!data) return std::nullopt;
    return Attributes{.directory = win32::is_folder(data->dwFileAttributes)};
}

std::optional<std::string> unmounted_drive_of(std::string_view) { return std::nullopt; }

// A folder or file made here inherits the access of the folder it is in, as copies do.
void narrow_access(std::string_view, std::string_view) {}
void narrow_access_to(std::string_view, std::uint32_t) {}
void give_access_of(std::string_view, std::string_view) {}

}  // namespace quillet::platform
