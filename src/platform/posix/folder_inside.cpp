// Whether one folder lies inside another, decided on the resolved native paths:
// path text can reach one folder by many names (links, "..", drive mappings that
// overlap), and a comparison of the texts would miss all but one of them.

#include <stdlib.h>

#include <algorithm>
#include <memory>

#include "platform/platform.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

namespace {

std::optional<std::string> resolved(std::string_view path_text) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return std::nullopt;
    const std::unique_ptr<char, decltype(&::free)> real(::realpath(native->empty() ? "." : native->c_str(), nullptr),
                                                        &::free);
    if (!real) return std::nullopt;
    return std::string(real.get());
}

}  // namespace

std::optional<std::string> folder_inside(std::string_view outer_text, std::string_view inner_text) {
    const auto outer = resolved(outer_text);
    const auto inner = resolved(inner_text);
    if (!outer || !inner) return std::nullopt;
    const std::string prefix = *outer == "/" ? *outer : *outer + "/";
    if (inner->size() <= prefix.size() || !inner->starts_with(prefix)) return std::nullopt;
    std::string relative = inner->substr(prefix.size());
    // Path text cannot name such a folder, and the walk never enters one.
    if (relative.find('\\') != std::string::npos) return std::nullopt;
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return relative;
}

}  // namespace quillet::platform
