#include "files/temp_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <cstdlib>

#include <filesystem>
#include <optional>
#include <vector>

#include "files/short_path.h"
#include "support/files.h"
#include "support/matchers.h"

namespace quillet::lib_basFile {
namespace {

namespace fs = std::filesystem;
using testing::MatchesExtendedRegex;

// The scratch folder stands in for the temporary folder.
class TempNames : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = ::getenv(kVariable)) saved_ = old;
        testing::set_environment(kVariable, testing::utf8(disk_.native()));
    }
    void TearDown() override {
        saved_ ? testing::set_environment(kVariable, *saved_) : testing::unset_environment(kVariable);
    }

    static constexpr const char* kVariable = testing::kTemporaryFolderVariable;

    // The one file made in the temporary folder, as path text.
    std::string made() const {
        std::vector<fs::path> files(fs::directory_iterator(disk_.native()), fs::directory_iterator());
        EXPECT_EQ(files.size(), 1u);
        EXPECT_EQ(fs::file_size(files.at(0)), 0u);
#ifndef _WIN32  // POSIX permission bits: Windows has none (the platform tests check its DACL)
        EXPECT_EQ(fs::status(files.at(0)).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif
        return disk_.text(files.at(0).filename().string());
    }

    testing::ScratchFolder disk_;
    std::optional<std::string> saved_;
};

TEST_F(TempNames, TheTemporaryFolderOrANewFileInIt) {
    EXPECT_EQ(lib_GetTempFileName(), disk_.text() + "\\");
    const std::string name = lib_GetTempFileName("qtk", "dat");
    // Only the name returned takes the extension; the file made keeps its own.
    EXPECT_THAT(name.substr(disk_.text().size()), MatchesExtendedRegex("\\\\qtk[0-9A-F]{1,4}\\.dat"));
    EXPECT_EQ(made(), name.substr(0, name.size() - 3) + "tmp");
}

TEST(ShortPath, TheExistingPathItselfOrNothing) {
    testing::ScratchFolder disk;
    disk.write("Long File Name.text", "x");
    EXPECT_EQ(lib_GetShortPath(disk.text("Long File Name.text")), disk.text("Long File Name.text"));
    EXPECT_EQ(lib_GetShortPath(disk.text("missing")), "");
}

}  // namespace
}  // namespace quillet::lib_basFile
