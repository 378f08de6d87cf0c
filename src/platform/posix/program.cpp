#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/posix/running_program.h"

namespace quillet::platform {

namespace {

// The name the program was started under, where /proc cannot say more.
std::string invoked_name() {
#if defined(__GLIBC__)
    return program_invocation_short_name;
#else
    const char* name = getprogname();
    return name != nullptr ? name : "";
#endif
}

}  // namespace

std::string executable_name() {
    const std::string path = posix::running_program_path().value_or(invoked_name());
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::optional<std::string> environment_variable(std::string_view name) {
    const std::string key(name);
    const char* value = std::getenv(key.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

}  // namespace quillet::platform
