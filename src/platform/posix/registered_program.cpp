// The program registered for a file's type: the executable of the default
// application for the file's content type (desktop_services.h).

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/desktop_services.h"

namespace quillet::platform {

std::string registered_program(std::string_view file_text) {
    errno = ENOENT;
    const auto native = native_path(file_text);
    if (!native) return {};
    const posix::DesktopServices* desktop = posix::desktop_services();
    if (desktop == nullptr) {
        errno = ELIBACC;
        return {};
    }
    const std::string executable = desktop->default_program(*native);
    if (executable.empty()) return {};
    return path_text(executable).value_or("");
}

bool is_program(std::string_view path_text) {
    const auto native = native_path(path_text);
    if (!native) return false;
    struct stat status {};
    return ::stat(native->c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(native->c_str(), X_OK) == 0;
}

}  // namespace quillet::platform
