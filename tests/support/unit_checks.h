#pragma once
// Checks the unit tests share: what a statement raised, the names a copy may
// take, and the temporaries a copy or a compaction may have left behind.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "text/error.h"

namespace quillet::testing {

// The error of the kind asked for that the statement raised, or none.
template <typename Raised = Error, typename Statement>
std::optional<Raised> raised(Statement statement) {
    try {
        statement();
    } catch (const Raised& error) {
        return error;
    }
    return std::nullopt;
}

// An error whole, "number source: description", for one comparison; "" for none.
inline std::string described(const std::optional<Error>& error) {
    if (!error) return {};
    return std::to_string(error->number()) + " " + error->source() + ": " + error->description();
}

// Names for a copy: its target (a view: the text must outlive the names), then
// these temporaries in turn, then none.
inline platform::CopyNames copy_names(std::string_view target, std::vector<std::string> temporaries) {
    return {target, [temporaries, drawn = std::size_t{0}]() mutable -> std::optional<std::string> {
                if (drawn == temporaries.size()) return std::nullopt;
                return temporaries[drawn++];
            }};
}

// Files whose names look like temporary names ("report.~01"), and compaction
// folders with their marks ("qdb1A2B"), anywhere in the folder.
inline std::vector<std::string> temporaries(const std::filesystem::path& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".~") != std::string::npos || name.starts_with("qdb")) found.push_back(entry.path().string());
    }
    return found;
}

}  // namespace quillet::testing
