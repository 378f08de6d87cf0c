#pragma once
// The language's run-time errors for the reasons Windows gives (GetLastError), so
// that the statements fail with the numbers and texts users know.

#include <cstdint>

#include "text/error.h"

namespace quillet::platform::win32 {

// The run-time error for Win32 error `code`. A missing name is reported as
// `when_missing`: "File not found" (53) for a file, "Path not found" (76) for a
// folder.
Error language_error(unsigned long code, std::int32_t when_missing);

}  // namespace quillet::platform::win32
