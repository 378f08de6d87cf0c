// Links that another user may have planted where this program writes: one owned
// neither by this user nor by the system itself (SYSTEM, Administrators,
// TrustedInstaller, which own the links Windows ships, such as
// "C:\Users\All Users"), a symbolic link or a junction (any reparse point that
// stands for another name), is not followed, wherever along the path it stands.
// Not even in a folder of its owner's: a job that an administrator runs into a
// folder some user owns would otherwise write, and trash, where her junction
// leads. Windows reads ".." before the file system sees the path, so the path is
// made full first and then walked from its root.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/owner_only.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// Resolution gives up on as many links as the system does.
constexpr int kMostLinksFollowed = 63;

const wchar_t* const kSystemOwners[] = {
    L"S-1-5-18",      // SYSTEM
    L"S-1-5-32-544",  // Administrators
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
};

std::wstring full_path(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return {};
    full.resize(length);
    return full;
}

// The root ("C:\", "\\server\share\", "\\?\C:\", "\\?\Volume{GUID}\") and the names
// below it.
std::wstring split_root(const std::wstring& full, std::vector<std::wstring>& names) {
    std::size_t root_end = 0;
    if (full.starts_with(L"\\\\?\\UNC\\") || (full.starts_with(L"\\\\") && !full.starts_with(L"\\\\?\\"))) {
        const std::size_t server = full.find(L'\\', full.starts_with(L"\\\\?\\") ? 8 : 2);
        const std::size_t share = server == std::wstring::npos ? server : full.find(L'\\', server + 1);
        root_end = share == std::wstring::npos ? full.size() : share + 1;
    } else if (full.starts_with(L"\\\\?\\") && full.find(L':') != 5) {
        const std::size_t volume_end = full.find(L'\\', 4);
        root_end = volume_end == std::wstring::npos ? full.size() : volume_end + 1;
    } else {
        const std::size_t colon = full.find(L':');
        root_end = colon == std::wstring::npos ? 0 : colon + 2;
    }
    std::wstring root = full.substr(0, std::min(root_end, full.size()));
    if (!root.ends_with(L'\\')) root += L'\\';
    for (std::size_t start = root_end; start < full.size();) {
        const std::size_t end = std::min(full.find(L'\\', start), full.size());
        if (end > start) names.insert(names.end(), full.substr(start, end - start));
        start = end + 1;
    }
    return root;
}

// "." and ".." folded as the system folds them in other paths, never above the
// root: it leaves them in a path that starts "\\?\" (a volume mounted in a folder).
std::wstring folded(const std::wstring& path) {
    std::vector<std::wstring> names;
    std::wstring result = split_root(path, names);
    std::vector<std::wstring> kept;
    for (std::wstring& name : names) {
        if (name == L"..") {
            if (!kept.empty()) kept.pop_back();
        } else if (name != L".") {
            kept.push_back(std::move(name));
        }
    }
    for (const std::wstring& name : kept) result += (result.ends_with(L'\\') ? L"" : L"\\") + name;
    return result;
}

bool is_link(const std::wstring& path) {
    const win32::Handle itself = win32::open_itself(path, FILE_READ_ATTRIBUTES);
    FILE_ATTRIBUTE_TAG_INFO tag{};
    return itself.valid() && GetFileInformationByHandleEx(itself.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
           (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && win32::is_link_tag(tag.ReparseTag);
}

bool is_foreign_link(const std::wstring& link) {
    const auto owner = win32::owner_sid(link);
    if (!owner) return true;  // a link whose owner cannot be told is not trusted
    if (owner == win32::current_user_sid() || owner == win32::default_owner_sid()) return false;
    return std::ranges::none_of(kSystemOwners, [&](const wchar_t* system_owner) { return *owner == system_owner; });
}

// The reparse data of a symbolic link or a junction, as the file system keeps it:
// the header, the offsets and lengths of the two names (in bytes, into the path
// buffer), then for a symbolic link its flags, then the path buffer.
struct LinkData {
    DWORD tag;
    WORD data_length;
    WORD reserved;
    WORD substitute_offset;
    WORD substitute_length;
    WORD print_offset;
    WORD print_length;
};
constexpr DWORD kRelativeLink = 1;  // SYMLINK_FLAG_RELATIVE

// The name a link stands for, as a full path ("\??\C:\x" is "C:\x", "\??\UNC\s\x"
// is "\\s\x", a volume mounted in a folder "\??\Volume{GUID}\" is
// "\\?\Volume{GUID}\"; a relative one is read from the link's folder); empty when
// it cannot be read.
std::wstring link_target(const std::wstring& link, const std::wstring& folder) {
    const win32::Handle itself = win32::open_itself(link, FILE_READ_ATTRIBUTES);
    alignas(DWORD) unsigned char buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD size = 0;
    if (!itself.valid() ||
        !DeviceIoControl(itself.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &size, nullptr) ||
        size < sizeof(LinkData)) {
        return {};
    }
    const auto& data = *reinterpret_cast<const LinkData*>(buffer);
    std::size_t names_at = sizeof(LinkData);
    DWORD flags = 0;
    if (data.tag == IO_REPARSE_TAG_SYMLINK) {
        std::memcpy(&flags, buffer + names_at, sizeof flags);
        names_at += sizeof flags;
    } else if (data.tag != IO_REPARSE_TAG_MOUNT_POINT) {
        return {};
    }
    if (names_at + data.substitute_offset + data.substitute_length > size) return {};
    std::wstring target(data.substitute_length / sizeof(wchar_t), L'\0');
    std::memcpy(target.data(), buffer + names_at + data.substitute_offset, data.substitute_length);
    if ((flags & kRelativeLink) != 0) {
        const std::wstring joined = folder + L"\\" + target;
        return joined.starts_with(L"\\\\?\\") ? folded(joined) : full_path(joined);
    }
    if (!target.starts_with(L"\\??\\")) return target;
    if (target.starts_with(L"\\??\\UNC\\")) return L"\\\\" + target.substr(8);
    if (target.find(L':') == 5) return target.substr(4);
    return L"\\\\?\\" + target.substr(4);
}

}  // namespace

bool passes_foreign_link(std::string_view path_text) {
    const std::wstring full = full_path(win32::wide(path_text));
    if (full.empty()) return false;
    std::vector<std::wstring> rest;
    std::wstring resolved = split_root(full, rest);
    for (int links = 0; !rest.empty();) {
        const std::wstring name = std::move(rest.front());
        rest.erase(rest.begin());
        const std::wstring next = resolved + (resolved.ends_with(L'\\') ? L"" : L"\\") + name;
        const std::wstring next_system = win32::system_path(next);
        // Nothing more exists: there is no link further on to follow.
        if (GetFileAttributesW(next_system.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
        if (!is_link(next_system)) {
            resolved = next;
            continue;
        }
        if (is_foreign_link(next_system)) return true;
        if (++links > kMostLinksFollowed) return false;
        std::wstring target = link_target(next_system, resolved);
        if (target.empty()) return false;
        std::vector<std::wstring> target_names;
        resolved = split_root(target, target_names);
        rest.insert(rest.begin(), target_names.begin(), target_names.end());
    }
    return false;
}

}  // namespace quillet::platform
