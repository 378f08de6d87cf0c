#pragma once
// The running program's own file, for the services of this folder that need it.

#include <string>

namespace quillet::platform::win32 {

// The full path of the running program's file (GetModuleFileNameW); empty when
// the system cannot say.
std::wstring running_program_path();

}  // namespace quillet::platform::win32
