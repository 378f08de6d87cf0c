// copy_file as both hosts serve it: the two steps of a copy taken at once.

#include <optional>
#include <string>

#include "platform/platform.h"

namespace quillet::platform {

CopyResult copy_file(std::string_view source_text, const CopyNames& names, const CopyProgress& progress,
                     CopyFacts* facts) {
    MadeCopy made;
    const CopyResult result = make_copy(source_text, names, progress, made);
    if (result != CopyResult::copied) return result;
    return name_copy(made, names, facts);
}

CopyResult copy_file(std::string_view source_text, std::string_view temporary_text, const CopyProgress& progress,
                     CopyFacts* facts) {
    bool drawn = false;
    const CopyNames names{{}, [&]() -> std::optional<std::string> {
                              if (drawn) return std::nullopt;
                              drawn = true;
                              return std::string(temporary_text);
                          }};
    return copy_file(source_text, names, progress, facts);
}

}  // namespace quillet::platform
