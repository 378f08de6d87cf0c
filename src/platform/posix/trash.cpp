// The user's trash (the freedesktop.org trash, through GIO) stands where the
// recycle bin stood. An item the trash cannot take stays where it is.

#include <gio/gio.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/last_folder.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

namespace {

int errno_for(const GError* error) {
    if (error == nullptr || error->domain != G_IO_ERROR) return EIO;
    switch (error->code) {
        case G_IO_ERROR_NOT_FOUND:
            return ENOENT;
        case G_IO_ERROR_PERMISSION_DENIED:
            return EACCES;
        case G_IO_ERROR_NOT_SUPPORTED:
            return ENOTSUP;
        case G_IO_ERROR_NO_SPACE:
            return ENOSPC;
        case G_IO_ERROR_FILENAME_TOO_LONG:
            return ENAMETOOLONG;
        case G_IO_ERROR_BUSY:
            return EBUSY;
        default:
            return EIO;
    }
}

}  // namespace

bool move_to_trash(std::string_view path_text) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return false;
    posix::forget_last_folder();
    g_autoptr(GFile) file = g_file_new_for_path(native->c_str());
    g_autoptr(GError) error = nullptr;
    if (g_file_trash(file, nullptr, &error)) return true;
    errno = errno_for(error);
    return false;
}

}  // namespace quillet::platform
