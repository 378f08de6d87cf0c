#include "job/copied_files_index.h"

#include <gtest/gtest.h>

#include "job/run_state.h"

namespace quillet {
namespace {

TEST(CopiedFilesIndex, FindsTheFirstEqualRowAsAScanWould) {
    std::vector<CopiedFile> rows{{"s1", "D\\a"}, {"s2", "D\\b"}};
    CopiedFilesIndex index;
    EXPECT_EQ(index.first_row(rows, "D\\b"), 1u);
    EXPECT_EQ(index.first_row(rows, "D\\B"), std::nullopt);  // case counts

    // Rows added behind its back are taken in; the first of two equal rows wins.
    rows.push_back({"s3", "D\\c"});
    rows.push_back({"s4", "D\\c"});
    EXPECT_EQ(index.first_row(rows, "D\\c"), 2u);

    rows.erase(rows.begin());
    EXPECT_EQ(index.first_row(rows, "D\\c"), 1u);
}

// Enough rows for the table to grow several times, many of them equal.
TEST(CopiedFilesIndex, AgreesWithAScanOverManyRows) {
    std::vector<CopiedFile> rows;
    for (int i = 0; i < 3000; ++i) rows.push_back({"s", "D\\" + std::to_string(i % 1700)});
    const auto scan = [&](const std::string& destination) -> std::optional<std::size_t> {
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (rows[row].destination == destination) return row;
        }
        return std::nullopt;
    };

    CopiedFilesIndex index;
    for (int i = 0; i < 1800; i += 7) {
        const std::string destination = "D\\" + std::to_string(i);
        EXPECT_EQ(index.first_row(rows, destination), scan(destination)) << destination;
    }
}

}  // namespace
}  // namespace quillet
