#pragma once
// The library's way with run-time errors: a routine reports an error through the
// user side under its own name ("Base7." + routine), with a detail text such as
// "Path:" + path, and raises it again to its caller under that name.

#include <string>
#include <utility>

#include "files/user_side.h"
#include "platform/platform.h"
#include "text/error.h"

namespace quillet::lib_basFile {

template <typename Work>
auto report_and_raise_again(UserSide& user, const std::string& source, const std::string& details, Work&& work)
    -> decltype(work()) {
    try {
        return std::forward<Work>(work)();
    } catch (const Error& error) {
        user.report_error(source, error.number(), error.description(), details);
        throw error.with_source(source);
    }
}

}  // namespace quillet::lib_basFile

namespace quillet {

// The host's wording for the last failed system call, with its trailing line end.
inline std::string lib_GetLastDllErrorText() {
    std::string text = platform::last_error_text();
    if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

}  // namespace quillet
