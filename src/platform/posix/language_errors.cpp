#include "platform/posix/language_errors.h"

#include <cerrno>

#include "text/vb_errors.h"

namespace quillet::platform::posix {

namespace {

std::int32_t language_error_number(int code, std::int32_t when_missing) {
    switch (code) {
        case ENOENT:
            return when_missing;
        case ENOTDIR:
            return vb::kPathNotFound;
        case EEXIST:
            return vb::kFileAlreadyExists;
        case EACCES:
        case EPERM:
        case EROFS:
            return vb::kPermissionDenied;
        case ENOSPC:
        case EDQUOT:
            return vb::kDiskFull;
        case EIO:
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return vb::kDeviceUnavailable;
        default:
            return vb::kPathFileAccessError;
    }
}

}  // namespace

Error language_error(int code, std::int32_t when_missing) {
    return vb::error(language_error_number(code, when_missing));
}

}  // namespace quillet::platform::posix
