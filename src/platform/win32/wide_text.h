#pragma once
// Text of the program (UTF-8) to and from the UTF-16 of the wide Win32 calls.

#include <string>
#include <string_view>

namespace quillet::platform::win32 {

// UTF-8 to UTF-16; invalid UTF-8 is read as Windows-1252, as everywhere in the program.
std::wstring wide(std::string_view text);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8(std::wstring_view text);

}  // namespace quillet::platform::win32
