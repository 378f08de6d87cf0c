// Reading a whole file, and telling files apart whatever path names them.

#include <algorithm>
#include <string>

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/language_errors.h"
#include "platform/win32/system_paths.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

[[noreturn]] void raise_file_error() { throw win32::language_error(GetLastError(), vb::kFileNotFound); }

// Appends what is left in the file, one byte beyond the limit at most.
bool read_up_to(HANDLE file, std::size_t limit, std::string& bytes) {
    char buffer[64 * 1024];
    while (bytes.size() <= limit) {
        const DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, limit + 1 - bytes.size()));
        DWORD got = 0;
        if (!ReadFile(file, buffer, wanted, &got, nullptr)) return false;
        if (got == 0) return true;
        bytes.append(buffer, got);
    }
    return true;
}

}  // namespace

FileRead read_regular_file(std::string_view path_text, std::size_t byte_limit, std::string& bytes) {
    bytes.clear();
    const std::wstring path = win32::system_path(path_text);
    // A device is never opened: a pipe's or a port's open may wait, or take it from its user.
    if (win32::is_device_path(path)) return FileRead::not_a_regular_file;
    const win32::Handle file = win32::open_followed(path, GENERIC_READ);
    if (!file.valid()) raise_file_error();
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return FileRead::not_a_regular_file;
    if (!GetFileInformationByHandle(file.get(), &information)) raise_file_error();
    if (win32::is_folder(information.dwFileAttributes)) return FileRead::not_a_regular_file;
    if (win32::file_size(information.nFileSizeHigh, information.nFileSizeLow) > byte_limit) return FileRead::too_large;
    // The size may have grown since it was read: the limit holds for what is read.
    if (!read_up_to(file.get(), byte_limit, bytes)) raise_file_error();
    if (bytes.size() > byte_limit) {
        bytes.clear();
        return FileRead::too_large;
    }
    return FileRead::read;
}

std::optional<FileIdentity> file_identity(std::string_view path_text) {
    const win32::Handle file = win32::open_followed(win32::system_path(path_text), FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
    return FileIdentity{.device = information.dwVolumeSerialNumber,
                        .file = win32::file_size(information.nFileIndexHigh, information.nFileIndexLow)};
}

}  // namespace quillet::platform
