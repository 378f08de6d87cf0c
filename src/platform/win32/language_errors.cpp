#include "platform/win32/language_errors.h"

#include <windows.h>

namespace quillet::platform::win32 {

namespace {

std::int32_t language_error_number(DWORD code, std::int32_t when_missing) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return when_missing;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            return vb::kPathNotFound;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return vb::kFileAlreadyExists;
        // A file that another program holds, or a write-protected medium: the
        // language says "Permission denied" where a plain refusal is 75.
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return vb::kPermissionDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return vb::kDiskFull;
        case ERROR_NOT_READY:
        case ERROR_INVALID_DRIVE:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_UNRECOGNIZED_MEDIA:
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
            return vb::kDeviceUnavailable;
        case ERROR_ACCESS_DENIED:
        default:
            return vb::kPathFileAccessError;
    }
}

}  // namespace

Error language_error(unsigned long code, std::int32_t when_missing) {
    return vb::error(language_error_number(code, when_missing));
}

}  // namespace quillet::platform::win32
