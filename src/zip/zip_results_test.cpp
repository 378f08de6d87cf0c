#include "zip/zip_results.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

// The texts come from the string table exactly, its spelling included.
TEST(ZipResults, TextsComeFromTheStringTableAndOtherCodesReadAsUnknown) {
    EXPECT_EQ(zip_result_text(15), "Could't Open To Write Error");
    EXPECT_EQ(zip_result_text(-1), "Unknown error -1");
}

}  // namespace
}  // namespace quillet
