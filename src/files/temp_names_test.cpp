#include "files/temp_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "files/short_path.h"
#include "platform/posix/file_test_support.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using ::testing::MatchesRegex;

// The scratch folder stands in for the temporary folder.
class TempNames : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = ::getenv("TMPDIR")) saved_ = old;
        ::setenv("TMPDIR", disk_.native().c_str(), 1);
    }
    void TearDown() override { saved_ ? ::setenv("TMPDIR", saved_->c_str(), 1) : ::unsetenv("TMPDIR"); }

    std::vector<std::string> files_made() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(disk_.native())) names.push_back(entry.path().filename());
        return names;
    }

    testing::ScratchFolder disk_;
    std::optional<std::string> saved_;
};

TEST_F(TempNames, WithoutAPrefixTheTemporaryFolder) {
    EXPECT_EQ(lib_GetTempFileName(), disk_.text() + "\\");
    EXPECT_TRUE(files_made().empty());
}

TEST_F(TempNames, APrefixMakesAnEmptyFile) {
    const std::string name = lib_GetTempFileName("qtk");
    EXPECT_THAT(name.substr(disk_.text().size()), MatchesRegex("\\\\qtk[0-9A-F]{1,4}\\.tmp"));
    const std::vector<std::string> made = files_made();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(disk_.text(made[0]), name);
    EXPECT_EQ(fs::file_size(disk_.native(made[0])), 0u);
}

TEST_F(TempNames, AnExtensionChangesOnlyTheNameReturned) {
    const std::string name = lib_GetTempFileName("qtk", "dat");
    EXPECT_THAT(name, MatchesRegex(".*\\\\qtk[0-9A-F]{1,4}\\.dat"));
    const std::vector<std::string> made = files_made();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(disk_.text(made[0]), name.substr(0, name.size() - 3) + "tmp");
}

TEST(ShortPath, TheExistingPathItselfOrNothing) {
    testing::ScratchFolder disk;
    disk.write("Long File Name.text", "x");
    EXPECT_EQ(lib_GetShortPath(disk.text("Long File Name.text")), disk.text("Long File Name.text"));
    EXPECT_EQ(lib_GetShortPath(disk.text()), disk.text());
    EXPECT_EQ(lib_GetShortPath(disk.text("missing")), "");
}

}  // namespace
}  // namespace quillet::lib_basFile
