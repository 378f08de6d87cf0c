// The running program: its file's name, its environment, and the modules stored
// beside it. Its file is found through /proc, whatever folder and name it was
// started from.

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

namespace quillet::platform {

namespace {

// Its path under the name it is stored as now; empty where /proc cannot say.
std::optional<std::string> running_program_path() {
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return std::nullopt;
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

// The name the program was started under, where /proc cannot say more.
std::string invoked_name() {
#if defined(__GLIBC__)
    return program_invocation_short_name;
#else
    const char* name = getprogname();
    return name != nullptr ? name : "";
#endif
}

// The folder of the file that is running.
std::optional<std::string> program_folder() {
    const auto path = running_program_path();
    if (!path) return std::nullopt;
    const auto slash = path->rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    return path->substr(0, slash);
}

// Beside the program in a build; an installed program keeps its modules in a
// library folder of its own (the build says where, relative to the program).
std::string module_path(const std::string& program_folder, std::string_view file_name) {
    const std::string beside = program_folder + "/" + std::string(file_name);
#ifdef QUILLET_INSTALLED_MODULE_FOLDER
    if (::access(beside.c_str(), F_OK) != 0) {
        return program_folder + "/" QUILLET_INSTALLED_MODULE_FOLDER "/" + std::string(file_name);
    }
#endif
    return beside;
}

}  // namespace

std::string executable_name() {
    const std::string path = running_program_path().value_or(invoked_name());
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> environment_variable(std::string_view name) {
    const std::string key(name);
    const char* value = std::getenv(key.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

void ignore_misleading_environment() {
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '/') ::unsetenv(name);
    }
}

std::vector<std::string> program_arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

std::optional<std::string> command_line_as_typed() { return std::nullopt; }

std::optional<ProgramModule> load_program_module(std::string_view file_name, std::string& failure) {
    const auto folder = program_folder();
    if (!folder) {
        failure = "the folder of the running program cannot be read from /proc/self/exe";
        return std::nullopt;
    }
    const std::string path = module_path(*folder, file_name);
    // Every name is bound now, so that one the program lacks stops the load here
    // instead of ending the program when it is first called.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        failure = reason != nullptr ? reason : path + ": cannot be loaded";
        return std::nullopt;
    }
    return ProgramModule(handle);
}

void* ProgramModule::entry_point_address(std::string_view name) const {
    return dlsym(handle_, std::string(name).c_str());
}

}  // namespace quillet::platform
