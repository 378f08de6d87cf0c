#pragma once
// Path text as the wide calls take it. Path text is the native path on Windows;
// one that is too long for MAX_PATH is made full and given the \\?\ prefix
// ("\\?\C:\..." or "\\?\UNC\server\share\..."), with which the calls take paths
// up to 32767 units.

#include <windows.h>

#include <string>
#include <string_view>

namespace quillet::platform::win32 {

std::wstring system_path(std::string_view path_text);
// The same for a path already in UTF-16.
std::wstring system_path(std::wstring path);

// A path in the device namespace ("\\.\COM1", "\\.\pipe\name", "\\?\GLOBALROOT"),
// or a reserved device name ("NUL", "C:\dir\COM1"): nothing there is a file or a
// folder to be read or written as one.
bool is_device_path(std::wstring_view path);

// The folder part of a path, without its last component and the backslash
// before it; the path itself when it has no backslash.
std::wstring parent_of(std::wstring_view path);

// Whether a reparse point's tag makes it a link (a symbolic link or a junction)
// rather than a file that a file system filter stores its own way.
inline bool is_link_tag(DWORD tag) { return IsReparseTagNameSurrogate(tag); }

// Whether a reparse point's tag makes it a socket, a FIFO or a device node (as
// Unix sockets and the Linux subsystem store them): no file to open for its content.
inline bool is_special_tag(DWORD tag) {
    constexpr DWORD kUnixSocket = 0x80000023;      // IO_REPARSE_TAG_AF_UNIX
    constexpr DWORD kLinuxFifo = 0x80000024;       // IO_REPARSE_TAG_LX_FIFO
    constexpr DWORD kLinuxCharacter = 0x80000025;  // IO_REPARSE_TAG_LX_CHR
    constexpr DWORD kLinuxBlock = 0x80000026;      // IO_REPARSE_TAG_LX_BLK
    return tag == kUnixSocket || tag == kLinuxFifo || tag == kLinuxCharacter || tag == kLinuxBlock;
}

}  // namespace quillet::platform::win32
