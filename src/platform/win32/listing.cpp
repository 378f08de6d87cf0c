// Folder listings with FindFirstFileExW: the basic information only (no 8.3
// names) and large fetches, so that a listing costs one call per block of
// entries. The search asks for every name and the pattern is matched here: the
// system's own matching also tries the 8.3 names and reads "<", ">" and '"' as
// wildcards, where the listing promises "*" and "?" alone.

#include "platform/listing_pattern.h"
#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"
#include "text/unicode.h"
#include "text/wildcard.h"

namespace quillet::platform {

namespace {

bool is_dot_entry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

std::wstring search_text(std::string_view folder_text) {
    std::wstring folder = win32::wide(folder_text);
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/' && folder.back() != L':') folder += L'\\';
    return win32::system_path(folder + L"*");
}

class Win32FolderListing final : public FolderListing {
public:
    Win32FolderListing(std::wstring folder, HANDLE search, const WIN32_FIND_DATAW& first, WildcardPattern pattern)
        : folder_(std::move(folder)),
          search_(search),
          found_(first),
          pattern_(std::move(pattern)),
          exhausted_(!search_.valid()) {}

    bool next(DirectoryEntry& entry) override {
        // "." and ".." come first, and in every folder: a drive's root has none of its own.
        while (dots_delivered_ < 2) {
            const char* dot_name = dots_delivered_++ == 0 ? "." : "..";
            if (pattern_.matches(dot_name)) {
                entry = DirectoryEntry{.name = dot_name, .directory = true};
                return true;
            }
        }
        for (; !exhausted_; advance()) {
            if (is_dot_entry(found_.cFileName)) continue;
            std::string name = win32::utf8(found_.cFileName);
            if (!pattern_.matches(name)) continue;
            entry.name = std::move(name);
            describe(entry);
            advance();
            return true;
        }
        if (failure_ != ERROR_SUCCESS) {
            fail();
            SetLastError(failure_);
        }
        return false;
    }

private:
    // Read one ahead: a failure is told when the listing reaches it.
    void advance() {
        const DWORD saved = GetLastError();
        if (!FindNextFileW(search_.get(), &found_)) {
            exhausted_ = true;
            if (GetLastError() != ERROR_NO_MORE_FILES) failure_ = GetLastError();
        }
        SetLastError(saved);
    }

    // A link's own entry says what kind of link it is; what it leads to, asked
    // only for links, says whether it is a folder. A dangling link is a file.
    void describe(DirectoryEntry& entry) const {
        const DWORD attributes = found_.dwFileAttributes;
        const bool reparse_point = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.link = reparse_point && win32::is_link_tag(found_.dwReserved0);
        entry.directory = win32::is_folder(attributes);
        // Devices and pipes live in no folder; sockets and FIFOs may, as reparse points.
        entry.special = reparse_point && win32::is_special_tag(found_.dwReserved0);
        if (!entry.link) return;
        const DWORD saved = GetLastError();
        const win32::Handle target = win32::open_followed(folder_ + found_.cFileName, FILE_READ_ATTRIBUTES);
        BY_HANDLE_FILE_INFORMATION information{};
        entry.directory = target.valid() && GetFileInformationByHandle(target.get(), &information) &&
                          win32::is_folder(information.dwFileAttributes);
        SetLastError(saved);
    }

    std::wstring folder_;  // with its closing backslash
    win32::FindHandle search_;
    WIN32_FIND_DATAW found_;
    WildcardPattern pattern_;
    int dots_delivered_ = 0;
    bool exhausted_;
    DWORD failure_ = ERROR_SUCCESS;
};

bool is_folder(std::string_view folder_text) {
    const DWORD saved = GetLastError();
    const DWORD attributes = GetFileAttributesW(win32::system_path(folder_text).c_str());
    SetLastError(saved);
    return attributes != INVALID_FILE_ATTRIBUTES && win32::is_folder(attributes);
}

}  // namespace

std::unique_ptr<FolderListing> list_folder(std::string_view folder_text, std::string_view pattern) {
    WildcardPattern matcher = listing_pattern(pattern);
    const std::wstring search = search_text(folder_text);
    WIN32_FIND_DATAW first{};
    const HANDLE handle = FindFirstFileExW(search.c_str(), FindExInfoBasic, &first, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH);
    // A folder without a single entry (a drive's empty root) is listed all the same.
    if (handle == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_NOT_FOUND || !is_folder(folder_text))) {
        return nullptr;
    }
    std::wstring folder = search.substr(0, search.size() - 1);
    return std::make_unique<Win32FolderListing>(std::move(folder), handle, first, std::move(matcher));
}

namespace {

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9, with any extension: a disk
// written from another system may hold such a name, which Windows 10 (and Wine)
// reads as its device in any folder, Windows 11 only alone. Only a name whose part
// before its first dot has three to five bytes (COM followed by a superscript
// digit) and begins with one of those can be one; the system is asked about
// those, so the answer is its own, and every other name the walk meets costs a
// comparison.
bool names_a_device(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (stem.ends_with(' ')) stem.remove_suffix(1);
    if (stem.size() < 3 || stem.size() > 5) return false;
    const std::string start = unicode::to_upper(stem).substr(0, 3);
    if (start != "CON" && start != "PRN" && start != "AUX" && start != "NUL" && start != "COM" && start != "LPT") {
        return false;
    }
    return win32::is_device_path(L"C:\\folder\\" + win32::wide(name));
}

}  // namespace

Unnameable unnameable(std::string_view name) {
    if (name.find('\\') != std::string_view::npos) return Unnameable::backslash;
    if (name.ends_with('.') || name.ends_with(' ')) return Unnameable::dot_or_blank_at_end;
    if (names_a_device(name)) return Unnameable::device;
    return Unnameable::no;
}

}  // namespace quillet::platform
