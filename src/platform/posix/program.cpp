#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/platform.h"

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
    // The file that is running, under the name it is stored as now.
    std::string buffer(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    std::string path;
    if (length > 0 && static_cast<std::size_t>(length) < buffer.size()) {
        path.assign(buffer.data(), static_cast<std::size_t>(length));
    } else {
        path = invoked_name();
    }
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
