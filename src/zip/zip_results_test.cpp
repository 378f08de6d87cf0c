#include "zip/zip_results.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(ZipResults, TextsComeFromTheStringTableExactly) {
    EXPECT_EQ(zip_result_text(0), "Success (No Error)");
    EXPECT_EQ(zip_result_text(8), "Zip Test (-T) Failed Or Out Of Memory Error");
    EXPECT_EQ(zip_result_text(15), "Could't Open To Write Error");
    EXPECT_EQ(zip_result_text(99), "DLL not found");
}

TEST(ZipResults, CodesWithoutATextReadAsUnknown) {
    EXPECT_EQ(zip_result_text(17), "Unknown error 17");
    EXPECT_EQ(zip_result_text(-1), "Unknown error -1");
}

}  // namespace
}  // namespace quillet
