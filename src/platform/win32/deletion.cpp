// Deleting a file or a folder tree for good. Every entry is looked at as itself:
// a symbolic link or a junction (a reparse point) is removed, and whatever it
// leads to is never touched. Read-only files are deleted too, as the shell's own
// deletion does.

#include "platform/win32/deletion.h"

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/handle.h"
#include "platform/win32/system_paths.h"

namespace quillet::platform {

namespace {

// Remembers the first failure's reason while the deletion goes on with the rest.
class Outcome {
public:
    void fail() {
        if (ok_) reason_ = GetLastError();
        ok_ = false;
    }
    bool finish() const {
        if (!ok_) SetLastError(reason_);
        return ok_;
    }

private:
    bool ok_ = true;
    DWORD reason_ = 0;
};

bool is_reparse_point(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Read-only would make the deletion fail.
void make_writable(const std::wstring& path, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

void remove_entry(const std::wstring& path, DWORD attributes, Outcome& outcome);

void remove_contents(const std::wstring& folder, Outcome& outcome) {
    WIN32_FIND_DATAW found{};
    const win32::FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!search.valid()) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND) outcome.fail();
        return;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        remove_entry(win32::system_path(folder + L"\\" + found.cFileName), found.dwFileAttributes, outcome);
    } while (FindNextFileW(search.get(), &found));
}

// A link to a folder (and a junction) is a folder entry to the system: it goes
// with RemoveDirectoryW, which removes the link alone.
void remove_entry(const std::wstring& path, DWORD attributes, Outcome& outcome) {
    make_writable(path, attributes);
    if (!win32::is_folder(attributes)) {
        if (!DeleteFileW(path.c_str())) outcome.fail();
        return;
    }
    if (!is_reparse_point(attributes)) remove_contents(path, outcome);
    if (!RemoveDirectoryW(path.c_str())) outcome.fail();
}

}  // namespace

bool win32::delete_native_permanently(const std::wstring& system_path) {
    const DWORD attributes = GetFileAttributesW(system_path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    std::wstring path = system_path;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    Outcome outcome;
    remove_entry(path, attributes, outcome);
    return outcome.finish();
}

bool delete_permanently(std::string_view path_text) {
    return win32::delete_native_permanently(win32::system_path(path_text));
}

}  // namespace quillet::platform
