#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/posix/file_test_support.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::MatchesRegex;

// Sets TMPDIR for one test and puts the old value back.
class TmpdirScope {
public:
    explicit TmpdirScope(const char* value) {
        if (const char* old = ::getenv("TMPDIR")) saved_ = old;
        value ? ::setenv("TMPDIR", value, 1) : ::unsetenv("TMPDIR");
    }
    ~TmpdirScope() { saved_ ? ::setenv("TMPDIR", saved_->c_str(), 1) : ::unsetenv("TMPDIR"); }

private:
    std::optional<std::string> saved_;
};

TEST(TempFolder, IsTmpdirElseTmpWithATrailingBackslash) {
    testing::ScratchFolder folder;
    {
        TmpdirScope tmpdir(folder.native().c_str());
        EXPECT_EQ(temp_folder(), folder.text() + "\\");
    }
    {
        TmpdirScope tmpdir(nullptr);
        EXPECT_EQ(temp_folder(), "Z:\\tmp\\");
    }
}

TEST(TempFile, IsNewEmptyOwnerOnlyAndNamedFromThePrefix) {
    testing::ScratchFolder folder;
    const std::string first = create_temp_file(folder.text(), "qtk");
    const std::string second = create_temp_file(folder.text() + "\\", "qtk");

    const std::string expected_start = folder.text() + "\\";
    ASSERT_EQ(first.substr(0, expected_start.size()), expected_start);
    const std::string name = first.substr(expected_start.size());
    EXPECT_THAT(name, MatchesRegex("qtk[0-9A-F]{1,4}\\.tmp"));
    EXPECT_NE(first, second);

    const fs::path native = folder.native(name);
    EXPECT_EQ(fs::file_size(native), 0u);
    EXPECT_EQ(fs::status(native).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(TempFile, UsesOnlyThreeCharactersOfThePrefix) {
    testing::ScratchFolder folder;
    const std::string made = create_temp_file(folder.text(), "Über-long");
    EXPECT_THAT(made, MatchesRegex(".*\\\\Übe[0-9A-F]{1,4}\\.tmp"));
}

TEST(TempFile, NoneInAFolderThatIsNotThere) {
    testing::ScratchFolder folder;
    EXPECT_EQ(create_temp_file(folder.text("missing"), "qtk"), "");
}

}  // namespace
}  // namespace quillet::platform
