#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"
#include "platform/posix/running_program.h"

namespace quillet::platform {

namespace {

// The folder of the file that is running, whatever folder it was started from
// and whatever name it was started under.
std::optional<std::string> program_folder() {
    const auto path = posix::running_program_path();
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
