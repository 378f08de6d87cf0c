#include "job/copied_files_index.h"

#include <functional>
#include <utility>

#include "job/run_state.h"

namespace quillet {

namespace {

std::size_t hash_of(const std::string& destination) { return std::hash<std::string>{}(destination); }

}  // namespace

std::optional<std::size_t> CopiedFilesIndex::first_row(const std::vector<CopiedFile>& rows,
                                                       const std::string& destination) {
    take_in(rows);
    const Slot& slot = slot_for(rows, hash_of(destination), destination);
    if (slot.row == kEmpty) return std::nullopt;
    return slot.row;
}

void CopiedFilesIndex::take_in(const std::vector<CopiedFile>& rows) {
    // The table only grows; should it ever have shrunk, start again.
    if (rows.size() < rows_taken_in_) {
        slots_.assign(slots_.size(), Slot{});
        rows_taken_in_ = 0;
    }
    for (; rows_taken_in_ < rows.size(); ++rows_taken_in_) {
        // Kept at most half full, so that probes stay short.
        if (2 * (rows_taken_in_ + 1) > slots_.size()) grow();
        const std::string& destination = rows[rows_taken_in_].destination;
        const std::size_t hash = hash_of(destination);
        Slot& slot = slot_for(rows, hash, destination);
        // An equal row already there is the first one: it stays.
        if (slot.row == kEmpty) slot = Slot{hash, rows_taken_in_};
    }
}

CopiedFilesIndex::Slot& CopiedFilesIndex::slot_for(const std::vector<CopiedFile>& rows, std::size_t hash,
                                                  const std::string& destination) {
    const std::size_t mask = slots_.size() - 1;  // the size is a power of two
    for (std::size_t place = hash & mask;; place = (place + 1) & mask) {
        Slot& slot = slots_[place];
        if (slot.row == kEmpty || (slot.hash == hash && rows[slot.row].destination == destination)) return slot;
    }
}

void CopiedFilesIndex::grow() {
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.row == kEmpty) continue;
        std::size_t place = slot.hash & mask;
        while (slots_[place].row != kEmpty) place = (place + 1) & mask;
        slots_[place] = slot;
    }
}

}  // namespace quillet
