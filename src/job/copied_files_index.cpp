#include "job/copied_files_index.h"

#include "job/run_state.h"

namespace quillet {

std::optional<std::size_t> CopiedFilesIndex::first_row(const std::vector<CopiedFile>& rows,
                                                       const std::string& destination) {
    take_in(rows);
    const auto found = first_rows_.find(destination);
    if (found == first_rows_.end()) return std::nullopt;
    return found->second;
}

void CopiedFilesIndex::take_in(const std::vector<CopiedFile>& rows) {
    // The table only grows; should it ever have shrunk, start again.
    if (rows.size() < rows_taken_in_) {
        first_rows_.clear();
        rows_taken_in_ = 0;
    }
    for (; rows_taken_in_ < rows.size(); ++rows_taken_in_) {
        // emplace keeps the row already there: the first one wins.
        first_rows_.emplace(rows[rows_taken_in_].destination, rows_taken_in_);
    }
}

}  // namespace quillet
