#include "job/sort_array.h"

#include <gtest/gtest.h>

#include "text/error.h"

namespace quillet {
namespace {

// Rows 1..n of (name, tag), as the clean-up keeps its table.
SortTable named_rows(const std::vector<std::pair<std::string, std::string>>& rows) {
    SortTable table(1);
    for (const auto& [name, tag] : rows) table.push_back({std::string(), name, tag});
    return table;
}

std::string tags(const SortTable& table) {
    std::string joined;
    for (std::size_t row = 1; row < table.size(); ++row) joined += std::get<std::string>(table[row][2]);
    return joined;
}

TEST(SortArray, TextKeysIgnoreCaseAndEqualKeysKeepTheirOrder) {
    SortTable table = named_rows({{"b", "1"}, {"A", "2"}, {"2010-09-30   09.00   (X)", "3"}, {"a", "4"},
                                  {"B", "5"}, {"2010-09-30   09.00   (x)", "6"}});
    lib_SortArray(table, 2, 2, 1, 1, 1, 6);
    EXPECT_EQ(tags(table), "362415");
    EXPECT_EQ(std::get<std::string>(table[1][1]), "2010-09-30   09.00   (X)");
}

TEST(SortArray, SortsOnlyTheRangeAndMovesWholeRows) {
    SortTable table = named_rows({{"d", "1"}, {"c", "2"}, {"b", "3"}, {"a", "4"}});
    lib_SortArray(table, 2, 2, 1, 1, 2, 3);
    EXPECT_EQ(tags(table), "1324");
    lib_SortArray(table, 2, 2, 2, 1, 0);  // from base to the end, by the tag
    EXPECT_EQ(tags(table), "1234");
    EXPECT_EQ(std::get<std::string>(table[3][1]), "b");
    EXPECT_THROW(lib_SortArray(table, 2, 2, 3, 1), Error);
    EXPECT_THROW(lib_SortArray(table, 2, 2, 1, 1, 1, 5), Error);
}

TEST(SortArray, NumberKeysCompareAsNumbers) {
    SortTable table{{10.0}, {9.0}, {std::string("100")}, {-1.5}};
    lib_SortArray(table, 1, 1, 0, 0);
    EXPECT_EQ(std::get<double>(table[0][0]), -1.5);
    EXPECT_EQ(std::get<double>(table[1][0]), 9.0);
    EXPECT_EQ(std::get<double>(table[2][0]), 10.0);
    EXPECT_EQ(std::get<std::string>(table[3][0]), "100");
}

}  // namespace
}  // namespace quillet
