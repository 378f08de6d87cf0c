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

// No job calls these; they are the one way into the platform's temporary files.
TEST(TempNames, TheTemporaryFolderOrANewOwnerOnlyFileInItAndShortPaths) {
    testing::ScratchFolder disk;  // stands in for the temporary folder
    const char* variable = testing::kTemporaryFolderVariable;
    const char* old = ::getenv(variable);
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    testing::set_environment(variable, testing::utf8(disk.native()));

    EXPECT_EQ(lib_GetTempFileName(), disk.text() + "\\");
    const std::string name = lib_GetTempFileName("qtk", "dat");
    saved ? testing::set_environment(variable, *saved) : testing::unset_environment(variable);
    // Only the name returned takes the extension; the file made keeps its own.
    EXPECT_THAT(name.substr(disk.text().size()), testing::MatchesExtendedRegex("\\\\qtk[0-9A-F]{1,4}\\.dat"));
    const std::vector<fs::path> files(fs::directory_iterator(disk.native()), fs::directory_iterator());
    ASSERT_EQ(files.size(), 1u);
    const std::string made = disk.text(files[0].filename().string());
    EXPECT_EQ(made, name.substr(0, name.size() - 3) + "tmp");
#ifndef _WIN32  // POSIX permission bits: Windows has none (the platform tests check its DACL)
    EXPECT_EQ(fs::status(files[0]).permissions(), fs::perms::owner_read | fs::perms::owner_write);
#endif

    // A short path is the existing path itself, or nothing.
    EXPECT_EQ(lib_GetShortPath(name), "");
    EXPECT_EQ(lib_GetShortPath(made), made);
}

}  // namespace
}  // namespace quillet::lib_basFile
