#include "job/sort_array.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "text/numbers.h"
#include "text/unicode.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

// A key made ready for comparing: upper-cased code points, or a number.
using SortKey = std::variant<std::u32string, double>;

std::string number_as_text(double number) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", number);
    return text;
}

SortKey text_key(const SortCell& cell) {
    const std::string text = std::holds_alternative<std::string>(cell) ? std::get<std::string>(cell)
                                                                       : number_as_text(std::get<double>(cell));
    return unicode::to_upper(unicode::decode(text));
}

SortKey number_key(const SortCell& cell) {
    if (std::holds_alternative<double>(cell)) return std::get<double>(cell);
    return read_leading_number(std::get<std::string>(cell));
}

const SortCell& key_cell(const std::vector<SortCell>& row, std::size_t key_column) {
    if (key_column >= row.size()) throw vb::error(vb::kSubscriptOutOfRange);
    return row[key_column];
}

// Moves each row towards the front while its key is strictly smaller than the one
// before it, so rows with equal keys keep their order.
std::vector<std::size_t> insertion_order(const std::vector<SortKey>& keys) {
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    for (std::size_t next = 1; next < order.size(); ++next) {
        for (std::size_t at = next; at > 0 && keys[order[at]] < keys[order[at - 1]]; --at) {
            std::swap(order[at], order[at - 1]);
        }
    }
    return order;
}

}  // namespace

void lib_SortArray(SortTable& table, std::int16_t dimensions, std::int16_t columns, std::int16_t key_column,
                   std::int16_t base, std::optional<std::int16_t> first_row, std::optional<std::int16_t> last_row) {
    const auto last_in_table = static_cast<std::ptrdiff_t>(table.size()) - 1;
    const std::ptrdiff_t first = std::max<std::ptrdiff_t>(first_row.value_or(base), base);
    const std::ptrdiff_t last = last_row ? *last_row : last_in_table;
    if (first >= last) return;
    if (first < 0 || last > last_in_table) throw vb::error(vb::kSubscriptOutOfRange);

    const std::int16_t key = dimensions == 1 ? base : key_column;
    if (key < base || (dimensions != 1 && key >= base + columns)) throw vb::error(vb::kSubscriptOutOfRange);
    const auto key_index = static_cast<std::size_t>(key);

    std::vector<std::vector<SortCell>> work(table.begin() + first, table.begin() + last + 1);
    const bool as_text = std::holds_alternative<std::string>(key_cell(work.front(), key_index));
    std::vector<SortKey> keys;
    keys.reserve(work.size());
    for (const auto& row : work) {
        const SortCell& cell = key_cell(row, key_index);
        keys.push_back(as_text ? text_key(cell) : number_key(cell));
    }

    const std::vector<std::size_t> order = insertion_order(keys);
    for (std::size_t i = 0; i < order.size(); ++i) {
        table[static_cast<std::size_t>(first) + i] = std::move(work[order[i]]);
    }
}

}  // namespace quillet
