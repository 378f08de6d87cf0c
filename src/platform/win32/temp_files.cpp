// The temporary folder (GetTempPathW) and unique temporary files named as
// GetTempFileNameW names them: "PRE" + up to four hexadecimal digits + ".tmp".
// They are made here rather than by GetTempFileNameW, so that each is created
// new (nothing that exists is ever taken over) and owner-only in the same call:
// security given to a file that exists already is not kept everywhere (Wine
// keeps no file security apart from the Unix permissions it makes at creation).
// Marked work folders are named the same way without the extension, each beside
// its mark file, both made new and owner-only.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "platform/platform.h"
#include "platform/temp_names.h"
#include "platform/win32/handle.h"
#include "platform/win32/owner_only.h"
#include "platform/win32/process_marks.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"
#include "text/unicode.h"

namespace quillet::platform {

namespace {

// The first three characters of the prefix, as far as they fit GetTempFileNameW's
// three UTF-16 units without splitting a surrogate pair.
std::wstring name_start(std::string_view prefix) {
    std::wstring start;
    for (const char32_t c : unicode::decode(prefix)) {
        const std::wstring unit = win32::wide(unicode::encode(std::u32string(1, c)));
        if (start.size() + unit.size() > 3) break;
        start += unit;
    }
    return start;
}

std::string ending_in_backslash(std::string text) {
    if (text.empty() || text.back() != '\\') text += '\\';
    return text;
}

// Where to start looking for a free number: differs from call to call and from
// process to process, so that callers rarely meet each other's names.
unsigned starting_number() {
    const unsigned long long ticks = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 8);
    return static_cast<unsigned>(ticks % kHighestTempNumber) + 1;
}

// The claimed name, or empty; the last error tells why when there is none.
std::string claim_free_name(std::string_view prefix, const std::function<Claim(const std::string& name)>& claim) {
    bool every_name_taken = false;
    std::string name =
        claim_free_temp_name(win32::utf8(name_start(prefix)), starting_number(), claim, every_name_taken);
    if (every_name_taken) SetLastError(ERROR_FILE_EXISTS);
    return name;
}

bool is_taken(DWORD code) { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }

bool write_all(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

// The mark file first, holding the mark before the folder exists, so that a folder
// never stands without its mark; a name whose folder someone else has is given up.
Claim claim_marked_folder(const std::string& folder_text, const std::string& name, win32::OwnerOnly& security) {
    const std::wstring folder = win32::system_path(folder_text + name);
    const std::wstring mark_file = win32::system_path(folder_text + name + std::string(kTempExtension));
    // Read before the file is made, so that it stands empty only while one write
    // goes on: a run killed then leaves a mark that says nothing, which no later run
    // takes for abandoned, as an empty mark may be a live run's.
    const std::string text = win32::current_process_mark();
    win32::Handle mark(CreateFileW(mark_file.c_str(), GENERIC_WRITE, 0, security.attributes(), CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!mark.valid()) return is_taken(GetLastError()) ? Claim::taken : Claim::failed;
    const bool marked = write_all(mark.get(), text);
    mark = win32::Handle();
    Claim claim = Claim::failed;
    if (marked && CreateDirectoryW(folder.c_str(), security.attributes())) claim = Claim::made;
    if (marked && claim != Claim::made && is_taken(GetLastError())) claim = Claim::taken;
    if (claim != Claim::made) {
        const DWORD reason = GetLastError();
        DeleteFileW(mark_file.c_str());
        SetLastError(reason);
    }
    return claim;
}

}  // namespace

std::string temp_folder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return {};
    return ending_in_backslash(win32::utf8(std::wstring_view(folder, length)));
}

std::string create_temp_file(std::string_view folder_text, std::string_view prefix) {
    win32::OwnerOnly security;
    if (security.attributes() == nullptr) return {};
    const std::string folder = ending_in_backslash(std::string(folder_text));
    const std::string name = claim_free_name(prefix, [&](const std::string& candidate) {
        const std::wstring file = win32::system_path(folder + candidate + std::string(kTempExtension));
        const win32::Handle made(CreateFileW(file.c_str(), GENERIC_WRITE, 0, security.attributes(), CREATE_NEW,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (made.valid()) return Claim::made;
        return is_taken(GetLastError()) ? Claim::taken : Claim::failed;
    });
    if (name.empty()) return {};
    return folder + name + std::string(kTempExtension);
}

std::optional<MarkedFolder> create_marked_temp_folder(std::string_view folder_text, std::string_view prefix) {
    win32::OwnerOnly security;
    if (security.attributes() == nullptr) return std::nullopt;
    const std::string folder = ending_in_backslash(std::string(folder_text));
    const std::string name = claim_free_name(
        prefix, [&](const std::string& candidate) { return claim_marked_folder(folder, candidate, security); });
    if (name.empty()) return std::nullopt;
    return MarkedFolder{folder + name, folder + name + std::string(kTempExtension)};
}

}  // namespace quillet::platform
