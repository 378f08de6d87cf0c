#pragma once
// The run's table of files accepted for copying, with the destinations indexed:
// every file of every job is checked against it before it is copied.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

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
    // The slots point into the rows, which a copy would not bring along.
    CopiedFilesTable(const CopiedFilesTable&) = delete;
    CopiedFilesTable& operator=(const CopiedFilesTable&) = delete;

    // The row holding this destination (exactly, case counts), if any.
    const CopiedFile* find(std::string_view destination) const;
    // The first row whose destination differs from this one at most in case.
    const CopiedFile* find_ignoring_case(std::string_view destination) const;
    // Adds a row for a destination that find does not know; nullptr when the
    // table is full.
    const CopiedFile* add(std::string source, std::string destination);

    // Takes back the rows added after this one, which must be in the table: a job
    // that ended at a failure never accepted the files after it. The rows left.
    std::size_t forget_after(const CopiedFile* row);
    // Takes back every row after the first count: the files of a job whose copies
    // are gone (a /Z job that wrote no archive).
    void keep_first(std::size_t count);

    std::size_t size() const { return rows_.size(); }

private:
    // Open addressing: a slot holds a row's hash and the row, the row itself the
    // text. One flat table is one memory access a look-up, where a table of nodes
    // takes several, between copies that leave the caches cold.
    struct Slot {
        std::size_t hash = 0;
        const CopiedFile* row = nullptr;
    };
    std::size_t hash_of(std::string_view destination) const;
    // The slot that holds an equal destination, else the empty one where it would go.
    std::size_t place_for(std::size_t hash, std::string_view destination) const;
    void grow();
    void index(const CopiedFile& row);
    void index_again();

    // A deque never moves its rows, so the slots can point at them.
    std::deque<CopiedFile> rows_;
    std::vector<Slot> slots_ = std::vector<Slot>(64);
    // Decoding a whole path is what costs, once it is not plain ASCII.
    mutable std::string last_decoded_;
    mutable std::size_t last_decoded_hash_ = 0;
};

}  // namespace quillet
