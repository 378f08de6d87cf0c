#pragma once
// Sorting a table of rows in place by one of its columns.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quillet {

// A cell holds a text or a number.
using SortCell = std::variant<std::string, double>;
// table[row][column], indexed as the caller counts: a table whose rows and
// columns start at 1 leaves index 0 of each unused.
using SortTable = std::vector<std::vector<SortCell>>;

// Sorts rows first_row..last_row of the table in ascending order of a key, moving
// whole rows. With dimensions 1 every row is one value, held at index base; with
// dimensions 2 a row has `columns` cells from index base on and the key is the
// cell key_column. first_row defaults to base, last_row to the last row of the
// table; a first row below base is raised to base, and a range of fewer than two
// rows is left alone.
//
// The sort is stable: equal keys keep their order. When the key of the range's
// first row is text, keys are compared as text without regard to case; otherwise
// they are compared as numbers (text read by its leading number).
//
// Error 9 "Subscript out of range" for a row or a key column outside the table.
void lib_SortArray(SortTable& table, std::int16_t dimensions, std::int16_t columns, std::int16_t key_column,
                   std::int16_t base, std::optional<std::int16_t> first_row = std::nullopt,
                   std::optional<std::int16_t> last_row = std::nullopt);

}  // namespace quillet
