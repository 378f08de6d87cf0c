// /Z with a password: the snapshot as one archive beside where the dated folder
// would be, every entry encrypted, read back by an archive tool of its own.

#include <gmock/gmock.h>

#include "sandbox.h"
#include "support/run_process.h"

namespace quillet::end_to_end {
namespace {

// Tests the archive with 7-Zip and this password: its status, and what it wrote on standard output.
testing::ProcessResult test_archive(const Sandbox& box, const std::string& password) {
    return testing::RunWithPipes(
        {"7z", "t", "-p" + password, box.native("bak/YearlyData/2010-09-30   09.00.zip").string()}, "");
}

// An empty /Z= password is asked for while zipping.
TEST(Zipping, APasswordEncryptsEveryEntry) {
    Sandbox box;
    box.write("YearlyData/a.txt");
    box.write("YearlyData/sub/b.txt");
    const Outcome outcome = box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/S", "/Z="},
                                    {.clock = "2010-09-30 09:00:00", .input = "asked\n"});
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const auto right = test_archive(box, "asked");
    EXPECT_EQ(right.status, 0) << right.out << right.err;
    EXPECT_THAT(right.out, ::testing::HasSubstr("Files: 2"));
    EXPECT_NE(test_archive(box, "wrong").status, 0);
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
