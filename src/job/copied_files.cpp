#include "job/copied_files.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "text/unicode.h"

namespace quillet {

namespace {

// FNV-1a over code points, which destinations that differ only in case share once
// upper-cased: they meet in one chain of probes.
class CaseBlindHash {
public:
    void add(char32_t upper) { hash_ = (hash_ ^ upper) * 1099511628211ULL; }
    std::size_t value() const { return static_cast<std::size_t>(hash_); }

private:
    std::uint64_t hash_ = 14695981039346656037ULL;
};

// Most names are plain ASCII, whose bytes are their code points.
std::size_t hash_of_ascii(std::string_view text) {
    CaseBlindHash hash;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        hash.add(byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte);
    }
    return hash.value();
}

std::size_t hash_of_decoded(std::string_view text) {
    CaseBlindHash hash;
    for (const char32_t c : unicode::decode(text)) hash.add(unicode::to_upper(c));
    return hash.value();
}

}  // namespace

// A destination is looked up and then added, so the one that last had to be
// decoded keeps its hash.
std::size_t CopiedFilesTable::hash_of(std::string_view destination) const {
    if (unicode::is_ascii(destination)) return hash_of_ascii(destination);
    if (destination != last_decoded_) {
        last_decoded_hash_ = hash_of_decoded(destination);
        last_decoded_ = destination;
    }
    return last_decoded_hash_;
}

const CopiedFile* CopiedFilesTable::find(std::string_view destination) const {
    return slots_[place_for(hash_of(destination), destination)].row;
}

const CopiedFile* CopiedFilesTable::find_ignoring_case(std::string_view destination) const {
    const std::size_t hash = hash_of(destination);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t place = hash & mask; slots_[place].row; place = (place + 1) & mask) {
        const Slot& slot = slots_[place];
        if (slot.hash == hash && unicode::equal_ignoring_case(slot.row->destination, destination)) return slot.row;
    }
    return nullptr;
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

std::size_t CopiedFilesTable::forget_after(const CopiedFile* row) {
    while (!rows_.empty() && &rows_.back() != row) rows_.pop_back();
    index_again();
    return rows_.size();
}

void CopiedFilesTable::keep_first(std::size_t count) {
    if (rows_.size() <= count) return;
    rows_.resize(count);
    index_again();
}

// Rare: the index is built again.
void CopiedFilesTable::index_again() {
    std::fill(slots_.begin(), slots_.end(), Slot{});
    for (const CopiedFile& kept : rows_) index(kept);
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
