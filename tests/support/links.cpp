#include "support/links.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillet::testing {

bool make_link(const std::filesystem::path& target, const std::filesystem::path& link, bool folder) {
#ifdef _WIN32
    constexpr DWORD kWithoutPrivilege = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    const DWORD kind = folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    if (!CreateSymbolicLinkW(link.c_str(), target.c_str(), kind | kWithoutPrivilege)) return false;
    const DWORD made = GetFileAttributesW(link.c_str());
    return made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
    folder ? std::filesystem::create_directory_symlink(target, link) : std::filesystem::create_symlink(target, link);
    return true;
#endif
}

}  // namespace quillet::testing
