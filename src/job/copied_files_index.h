#pragma once
// Finding a destination among the run's copied files without scanning them all:
// the duplicate check runs for every file of every job.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quillet {

struct CopiedFile;

class CopiedFilesIndex {
public:
    // The first row whose destination equals this one (exactly, case counts): the
    // row a scan from the first row would stop at. Rows added to the table since
    // the last call are taken in first.
    std::optional<std::size_t> first_row(const std::vector<CopiedFile>& rows, const std::string& destination);

private:
    // Open addressing: a slot holds a row's hash and number, the rows themselves
    // the text. One flat table is one memory access a look-up, where a table of
    // nodes took several, between copies that leave the caches cold.
    struct Slot {
        std::size_t hash = 0;
        std::size_t row = kEmpty;
    };
    static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

    void take_in(const std::vector<CopiedFile>& rows);
    // The slot that holds an equal destination, else the empty one where it would go.
    Slot& slot_for(const std::vector<CopiedFile>& rows, std::size_t hash, const std::string& destination);
    void grow();

    std::vector<Slot> slots_ = std::vector<Slot>(64);
    std::size_t rows_taken_in_ = 0;
};

}  // namespace quillet
