// MkDir, Kill and Name: they fail with the language's run-time errors.

#include <optional>

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/handle.h"
#include "platform/win32/language_errors.h"
#include "platform/win32/owner_only.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

bool exists_itself(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool same_name_ignoring_case(std::string_view a, std::string_view b) {
    const std::wstring first = win32::wide(a);
    const std::wstring second = win32::wide(b);
    return CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

// Naming a file as itself: two names of one file. Only a change of case is a
// rename; hard links of one file stay as they are, as Name leaves them elsewhere.
bool rename_as_itself(std::string_view from_text, std::string_view to_text, const std::wstring& from,
                      const std::wstring& to) {
    const auto first = file_identity(from_text);
    if (!first || first != file_identity(to_text)) return false;
    if (!same_name_ignoring_case(from_text, to_text)) return true;
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace

void make_folder(std::string_view path_text, FolderAccess access) {
    const std::wstring path = win32::system_path(path_text);
    std::optional<win32::OwnerOnly> owner_only;
    SECURITY_ATTRIBUTES* security = nullptr;
    if (access == FolderAccess::owner_only) {
        security = owner_only.emplace().attributes();
        // Never a folder that everyone may read in its stead.
        if (security == nullptr) throw vb::error(vb::kPermissionDenied);
    }
    bool made = false;
    DWORD reason = 0;
    // Once an interruption has begun this waits for the end: a folder that its
    // clean-up has just deleted is not made again under it.
    without_interruption([&] {
        made = CreateDirectoryW(path.c_str(), security) != 0;
        reason = GetLastError();
    });
    if (made) return;
    if (reason == ERROR_ALREADY_EXISTS || reason == ERROR_FILE_EXISTS) throw vb::error(vb::kPathFileAccessError);
    throw win32::language_error(reason, vb::kPathNotFound);
}

void remove_file(std::string_view path_text) {
    const std::wstring path = win32::system_path(path_text);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    // A folder is no file to Kill; nor is a link or junction to one, which only
    // RemoveDirectoryW removes.
    if (attributes != INVALID_FILE_ATTRIBUTES && win32::is_folder(attributes)) throw vb::error(vb::kFileNotFound);
    if (!DeleteFileW(path.c_str())) throw win32::language_error(GetLastError(), vb::kFileNotFound);
}

void rename_file(std::string_view from_text, std::string_view to_text) {
    const std::wstring from = win32::system_path(from_text);
    const std::wstring to = win32::system_path(to_text);
    // Without MOVEFILE_REPLACE_EXISTING an existing target is refused.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) return;
    const DWORD reason = GetLastError();
    if (reason == ERROR_ALREADY_EXISTS || reason == ERROR_FILE_EXISTS) {
        if (rename_as_itself(from_text, to_text, from, to)) return;
        throw vb::error(vb::kFileAlreadyExists);
    }
    // A missing name is the file itself unless the file is there: then it is the
    // folder it was to go to.
    throw win32::language_error(reason, exists_itself(from) ? vb::kPathNotFound : vb::kFileNotFound);
}

namespace {

// The file system may write a name to the disk before the data written under it.
bool data_on_disk(const std::wstring& path) {
    const win32::Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() && FlushFileBuffers(file.get()) != 0;
}

}  // namespace

bool replace_file(std::string_view from_text, std::string_view to_text) {
    const std::wstring from = win32::system_path(from_text);
    const std::wstring to = win32::system_path(to_text);
    return data_on_disk(from) && MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace quillet::platform
