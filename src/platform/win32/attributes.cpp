// File attributes through GetFileAttributesExW, and a file's identity through
// its handle, links followed: a link to a folder is a folder.

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/system_paths.h"

namespace quillet::platform {

std::optional<Attributes> attributes(std::string_view path_text) {
    const auto data = win32::followed_attributes(path_text);
    if (!data) return std::nullopt;
    return Attributes{.directory = win32::is_folder(data->dwFileAttributes)};
}

namespace {

std::optional<BY_HANDLE_FILE_INFORMATION> identity(std::string_view path_text) {
    const win32::Handle file = win32::open_followed(win32::system_path(path_text), FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
    return information;
}

}  // namespace

// A folder made here inherits the access of the folder it is in, as copies do.
void narrow_folder_access(std::string_view, std::string_view) {}

bool same_file(std::string_view first_text, std::string_view second_text) {
    const auto first = identity(first_text);
    const auto second = identity(second_text);
    return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
           first->nFileIndexHigh == second->nFileIndexHigh && first->nFileIndexLow == second->nFileIndexLow;
}

}  // namespace quillet::platform
