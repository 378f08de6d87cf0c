// The trash and the registered applications through GIO. The trash stands where
// the recycle bin stood; an item it cannot take stays where it is. A file's type
// is its content type (by its name, and by its content where the name leaves it
// open); the program registered for it is the executable its default
// application runs.

#include <gio/gio.h>

#include <cerrno>

#include "platform/posix/desktop_services.h"

namespace quillet::platform::posix {

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

int trash(const char* native) {
    g_autoptr(GFile) file = g_file_new_for_path(native);
    g_autoptr(GError) error = nullptr;
    return g_file_trash(file, nullptr, &error) ? 0 : errno_for(error);
}

std::string content_type_of(const std::string& native) {
    g_autoptr(GFile) file = g_file_new_for_path(native.c_str());
    g_autoptr(GFileInfo) info =
        g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    if (info == nullptr) return {};
    const char* type = g_file_info_get_attribute_string(info, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE);
    return type != nullptr ? type : "";
}

// The first word of the application's command line, read as GIO reads it to start
// the application (its own executable name stops at the first blank, even inside
// quotes), with its folder: applications often name theirs bare, to be found along
// PATH.
std::string default_executable_for(const std::string& content_type) {
    g_autoptr(GAppInfo) application = g_app_info_get_default_for_type(content_type.c_str(), FALSE);
    if (application == nullptr) return {};
    const char* command_line = g_app_info_get_commandline(application);
    g_auto(GStrv) words = nullptr;
    if (command_line == nullptr || !g_shell_parse_argv(command_line, nullptr, &words, nullptr)) return {};
    g_autofree char* found = g_find_program_in_path(words[0]);
    return found != nullptr ? found : "";
}

std::string default_program(const std::string& native) {
    const std::string type = content_type_of(native);
    return type.empty() ? std::string() : default_executable_for(type);
}

}  // namespace

const DesktopServices& gio_desktop_services() {
    static const DesktopServices services{trash, default_program};
    return services;
}

}  // namespace quillet::platform::posix
