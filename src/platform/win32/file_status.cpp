#include "platform/win32/file_status.h"

#include "platform/win32/system_paths.h"

namespace quillet::platform::win32 {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

WIN32_FILE_ATTRIBUTE_DATA as_attribute_data(const BY_HANDLE_FILE_INFORMATION& information) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    data.dwFileAttributes = information.dwFileAttributes;
    data.ftCreationTime = information.ftCreationTime;
    data.ftLastAccessTime = information.ftLastAccessTime;
    data.ftLastWriteTime = information.ftLastWriteTime;
    data.nFileSizeHigh = information.nFileSizeHigh;
    data.nFileSizeLow = information.nFileSizeLow;
    return data;
}

// "file.txt\" names nothing: a trailing backslash asks for a folder.
bool asks_for_folder(std::string_view path_text) {
    return path_text.size() > 3 && path_text.ends_with('\\') && !path_text.ends_with(":\\");
}

}  // namespace

Handle open_followed(const std::wstring& system_path, DWORD access) {
    return Handle(CreateFileW(system_path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

Handle open_itself(const std::wstring& system_path, DWORD access) {
    return Handle(CreateFileW(system_path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> followed_attributes(std::string_view path_text) {
    const std::wstring path = system_path(path_text);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    // The attributes are the link's own: what it leads to is asked through a handle.
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        const Handle target = open_followed(path, FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION information{};
        if (!target.valid() || !GetFileInformationByHandle(target.get(), &information)) return std::nullopt;
        data = as_attribute_data(information);
    }
    if (asks_for_folder(path_text) && !is_folder(data.dwFileAttributes)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    return data;
}

}  // namespace quillet::platform::win32
