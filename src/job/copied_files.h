#pragma once
// The run's table of files accepted for copying, with the destinations indexed:
// every file of every job is checked against it before it is copied.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quillet {

// The most files a run can copy, over all its jobs.
inline constexpr std::size_t kCopiedFilesLimit = 10000;

// One file that a job of this run accepted for copying.
struct CopiedFile {
    std::string source;
    std::string destination;
};

class CopiedFilesTable {
public:
    CopiedFilesTable() = default;
    // The index points into the rows, which a copy would not bring along.
    CopiedFilesTable(const CopiedFilesTable&) = delete;
    CopiedFilesTable& operator=(const CopiedFilesTable&) = delete;

    // The row holding this destination (exactly, case counts), if any.
    const CopiedFile* find(std::string_view destination) const;
    // Adds a row for a destination that find does not know; nullptr when the
    // table is full.
    const CopiedFile* add(std::string source, std::string destination);

    std::size_t size() const { return rows_.size(); }

private:
    // A deque never moves its rows, so the index can hold views of their text.
    std::deque<CopiedFile> rows_;
    std::unordered_map<std::string_view, const CopiedFile*> by_destination_;
};

}  // namespace quillet
