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

}  // namespace
}  // namespace quillet
