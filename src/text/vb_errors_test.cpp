#include "text/vb_errors.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(VbErrors, KnownNumbersCarryTheLanguagesText) {
    EXPECT_EQ(vb::error_text(6), "Overflow");
    EXPECT_EQ(vb::error_text(76), "Path not found");
    const Error error = vb::error(53, "Base7.lib_KillFile");
    EXPECT_EQ(error.number(), 53);
    EXPECT_EQ(error.source(), "Base7.lib_KillFile");
    EXPECT_EQ(error.description(), "File not found");
}

TEST(VbErrors, LibraryErrorIsTheObjectBasePlusAThousand) {
    EXPECT_EQ(kLibraryError, -2147220504);
    EXPECT_EQ(vb::error_text(12345), "Application-defined or object-defined error");
}

}  // namespace
}  // namespace quillet
