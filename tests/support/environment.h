#pragma once
// Setting and removing the tests' environment variables, on POSIX hosts and Windows.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace quillet::testing {

// The variable that names the temporary folder: Windows reads TMP first.
#ifdef _WIN32
inline constexpr const char* kTemporaryFolderVariable = "TMP";
#else
inline constexpr const char* kTemporaryFolderVariable = "TMPDIR";
#endif

// Sets NAME to VALUE (UTF-8 text) for this process and the programs it starts.
inline void set_environment(const std::string& name, const std::string& value) {
#ifdef _WIN32
    const auto wide = [](const std::string& text) {
        return std::filesystem::path(std::u8string(text.begin(), text.end())).wstring();
    };
    ::_wputenv_s(wide(name).c_str(), wide(value).c_str());
#else
    ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void unset_environment(const std::string& name) {
#ifdef _WIN32
    set_environment(name, "");  // an empty value removes the variable
#else
    ::unsetenv(name.c_str());
#endif
}

}  // namespace quillet::testing
