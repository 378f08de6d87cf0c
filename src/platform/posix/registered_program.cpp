// The program registered for a file's type: the file's content type (by its name,
// and by its content where the name leaves it open), that type's default
// application, and the executable the application runs.

#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace quillet::platform {

namespace {

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

}  // namespace

std::string registered_program(std::string_view file_text) {
    errno = ENOENT;
    const auto native = native_path(file_text);
    if (!native) return {};
    const std::string type = content_type_of(*native);
    if (type.empty()) return {};
    const std::string executable = default_executable_for(type);
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
