#pragma once
// The language's run-time errors for the reasons Windows gives (GetLastError), so
// that the statements fail with the numbers and texts users know. The Windows
// counterpart of posix/language_errors.h, for the file statements and the log file.

#include <cstdint>

#include "text/error.h"
#include "text/vb_errors.h"

namespace quillet::platform::win32 {

// The run-time error for the Win32 error code `code` (a DWORD). A missing file
// (ERROR_FILE_NOT_FOUND) is reported as `when_missing`: 53 "File not found" for
// a file, 76 "Path not found" for a folder (RmDir of a missing folder).
Error language_error(unsigned long code, std::int32_t when_missing = vb::kFileNotFound);

}  // namespace quillet::platform::win32
