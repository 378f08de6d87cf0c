#include "job/copied_files.h"

#include <utility>

namespace quillet {

const CopiedFile* CopiedFilesTable::find(std::string_view destination) const {
    const auto found = by_destination_.find(destination);
    return found == by_destination_.end() ? nullptr : found->second;
}

const CopiedFile* CopiedFilesTable::add(std::string source, std::string destination) {
    if (rows_.size() >= kCopiedFilesLimit) return nullptr;
    const CopiedFile& row = rows_.emplace_back(CopiedFile{std::move(source), std::move(destination)});
    // Should a destination come twice, the first row stays the one found.
    by_destination_.emplace(row.destination, &row);
    return &row;
}

}  // namespace quillet
