#include "text/vb_errors.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(VbErrors, KnownNumbersCarryTheLanguagesTextOthersTheGenericOne) {
    EXPECT_EQ(vb::error_text(76), "Path not found");
    EXPECT_EQ(vb::error_text(12345), "Application-defined or object-defined error");
}

}  // namespace
}  // namespace quillet
