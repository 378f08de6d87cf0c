#pragma once
// A program and its arguments as one Windows command line, quoted so that the
// started program's C runtime (and CommandLineToArgvW) splits it back into the
// very same arguments.

#include <string>
#include <string_view>
#include <vector>

namespace quillet::platform::win32 {

// The program comes first, in double quotes (it is split by other rules: no
// backslash escapes, and a file name holds no double quote), then each argument.
std::wstring quoted_command_line(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace quillet::platform::win32
