// Work folders that a run left behind when it was ended outright (TerminateProcess,
// a power cut): a later run of the same user deletes those whose mark names a
// process that no longer lives. Nothing is followed: a link or a junction where a
// mark or a folder should be, or anything not this user's, is left alone.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/temp_names.h"
#include "platform/win32/deletion.h"
#include "platform/win32/file_status.h"
#include "platform/win32/handle.h"
#include "platform/win32/owner_only.h"
#include "platform/win32/process_marks.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// A mark is one short line; anything longer is not one.
constexpr std::size_t kLongestMark = 256;

bool is_reparse_point(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

std::vector<std::string> mark_file_names(const std::string& folder, const std::string& name_start) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found{};
    const std::wstring search = win32::system_path(folder + "*" + std::string(kTempExtension));
    const win32::FindHandle listing(
        FindFirstFileExW(search.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!listing.valid()) return names;
    do {
        if (win32::is_folder(found.dwFileAttributes) || is_reparse_point(found.dwFileAttributes)) continue;
        const std::string name = win32::utf8(found.cFileName);
        if (!name.ends_with(kTempExtension)) continue;
        if (is_temp_name(name.substr(0, name.size() - kTempExtension.size()), name_start)) names.push_back(name);
    } while (FindNextFileW(listing.get(), &found));
    return names;
}

// The mark file's text, when it is this user's own regular file of a mark's size.
std::optional<std::string> own_mark(const std::wstring& mark_file) {
    const win32::Handle file = win32::open_itself(mark_file, GENERIC_READ);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.get(), &information) || is_reparse_point(information.dwFileAttributes) ||
        win32::is_folder(information.dwFileAttributes) ||
        win32::file_size(information.nFileSizeHigh, information.nFileSizeLow) > kLongestMark ||
        !win32::owned_by_current_user(mark_file)) {
        return std::nullopt;
    }
    std::string text(kLongestMark, '\0');
    DWORD got = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr) || got == 0) {
        return std::nullopt;
    }
    text.resize(got);
    return text;
}

// The folder that goes with a mark: missing (its run died before making it) or this
// user's real folder. Anything else there keeps its mark too.
enum class MarkedEntry { missing, own_folder, something_else };

MarkedEntry marked_entry(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD reason = GetLastError();
        return reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND ? MarkedEntry::missing
                                                                                : MarkedEntry::something_else;
    }
    const bool real_folder = win32::is_folder(attributes) && !is_reparse_point(attributes);
    return real_folder && win32::owned_by_current_user(folder) ? MarkedEntry::own_folder : MarkedEntry::something_else;
}

// The folder first: a mark without its folder is still found by the next run.
void remove_if_abandoned(const std::string& folder_text, const std::string& mark_name) {
    const std::wstring mark_file = win32::system_path(folder_text + mark_name);
    const auto mark = own_mark(mark_file);
    if (!mark || win32::marked_process(*mark) != win32::MarkedProcess::gone) return;
    const std::wstring folder =
        win32::system_path(folder_text + mark_name.substr(0, mark_name.size() - kTempExtension.size()));
    switch (marked_entry(folder)) {
        case MarkedEntry::something_else:
            return;
        case MarkedEntry::own_folder:
            if (!win32::delete_native_permanently(folder)) return;
            break;
        case MarkedEntry::missing:
            break;
    }
    DeleteFileW(mark_file.c_str());
}

}  // namespace

void remove_abandoned_temp_folders(std::string_view folder_text, std::string_view prefix) {
    std::string folder(folder_text);
    if (!folder.ends_with('\\')) folder += '\\';
    for (const std::string& mark_name : mark_file_names(folder, first_three_characters(prefix))) {
        remove_if_abandoned(folder, mark_name);
    }
}

}  // namespace quillet::platform
