// /Z with a password: the snapshot as one archive beside where the dated folder
// would be, every entry encrypted, read back by an archive tool of its own.

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "sandbox.h"

namespace quillet::end_to_end {
namespace {

// Tests the archive with 7-Zip and this password: its status and what it wrote, errors too.
std::pair<int, std::string> test_archive(const Sandbox& box, const std::string& password) {
    const std::string archive = box.native("bak/YearlyData/2010-09-30   09.00.zip").string();
    std::pair<int, std::string> result{-1, ""};
    FILE* pipe = popen(("7z t -p" + password + " '" + archive + "' 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.second.append(buffer, count);
    }
    result.first = pclose(pipe);
    return result;
}

// An empty /Z= password is asked for while zipping.
TEST(Zipping, APasswordEncryptsEveryEntry) {
    Sandbox box;
    box.write("YearlyData/a.txt");
    box.write("YearlyData/sub/b.txt");
    const Outcome outcome = box.run({box.text("YearlyData") + "\\*.*", box.text("bak"), "/S", "/Z="},
                                    RunOptions().at("2010-09-30 09:00:00").answering("asked\n"));
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    const auto right = test_archive(box, "asked");
    EXPECT_EQ(right.first, 0) << right.second;
    EXPECT_NE(right.second.find("Files: 2"), std::string::npos) << right.second;
    EXPECT_NE(test_archive(box, "wrong").first, 0);
    EXPECT_EQ(box.tree("tmp"), Lines{});
}

}  // namespace
}  // namespace quillet::end_to_end
