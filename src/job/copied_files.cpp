#include "job/copied_files.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace quillet {

namespace {

std::size_t hash_of(std::string_view destination) { return std::hash<std::string_view>{}(destination); }

}  // namespace

const CopiedFile* CopiedFilesTable::find(std::string_view destination) const {
    return slots_[place_for(hash_of(destination), destination)].row;
}

const CopiedFile* CopiedFilesTable::add(std::string source, std::string destination) {
    if (rows_.size() >= kCopiedFilesLimit) return nullptr;
    // Kept at most half full, so that probes stay short.
    if (2 * (rows_.size() + 1) > slots_.size()) grow();
    const CopiedFile& row = rows_.emplace_back(CopiedFile{std::move(source), std::move(destination)});
    index(row);
    return &row;
}

void CopiedFilesTable::index(const CopiedFile& row) {
    const std::size_t hash = hash_of(row.destination);
    Slot& slot = slots_[place_for(hash, row.destination)];
    // Should a destination come twice, the first row stays the one found.
    if (!slot.row) slot = Slot{hash, &row};
}

// Rare, and never more than a few rows: the index is built again.
std::size_t CopiedFilesTable::forget_after(const CopiedFile* row) {
    while (!rows_.empty() && &rows_.back() != row) rows_.pop_back();
    std::fill(slots_.begin(), slots_.end(), Slot{});
    for (const CopiedFile& kept : rows_) index(kept);
    return rows_.size();
}

std::size_t CopiedFilesTable::place_for(std::size_t hash, std::string_view destination) const {
    const std::size_t mask = slots_.size() - 1;  // the size is a power of two
    for (std::size_t place = hash & mask;; place = (place + 1) & mask) {
        const Slot& slot = slots_[place];
        if (!slot.row || (slot.hash == hash && slot.row->destination == destination)) return place;
    }
}

void CopiedFilesTable::grow() {
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(2 * slots_.size()));
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.row) continue;
        std::size_t place = slot.hash & mask;
        while (slots_[place].row) place = (place + 1) & mask;
        slots_[place] = slot;
    }
}

}  // namespace quillet
