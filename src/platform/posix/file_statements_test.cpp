#include <gtest/gtest.h>

#include <filesystem>

#include "platform/platform.h"
#include "support/files.h"
#include "text/error.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;
using quillet::testing::ScratchFolder;

TEST(MakeFolder, OwnerOnlyFoldersKeepEveryoneElseOut) {
    ScratchFolder scratch;
    make_folder(scratch.text("shared"));
    make_folder(scratch.text("work"), FolderAccess::owner_only);

    const auto permissions = [&](const char* name) { return fs::status(scratch.native(name)).permissions(); };
    EXPECT_EQ(permissions("work"), fs::perms::owner_all);
    EXPECT_NE(permissions("shared") & fs::perms::owner_all, fs::perms::none);

    // A folder that is there already is the language's "Path/File access error".
    try {
        make_folder(scratch.text("work"), FolderAccess::owner_only);
        FAIL() << "an existing folder was made again";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 75);
    }
}

}  // namespace
}  // namespace quillet::platform
