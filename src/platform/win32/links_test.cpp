// Links and junctions on Windows: listed as links, followed for what they lead
// to, removed themselves by a deletion for good.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

// A folder "outside" with a file, and in "tree" a symbolic link to each.
class Links : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write("outside/kept", "x");
        fs::create_directory(folder.native("tree"));
        // Windows asks for Developer Mode or the privilege to make symbolic links.
        if (!link("tree/to-folder", "outside", SYMBOLIC_LINK_FLAG_DIRECTORY) ||
            !link("tree/to-file", "outside/kept", 0)) {
            GTEST_SKIP() << "no symbolic link can be made here (Wine 8 says it made "
                            "one, and makes none)";
        }
    }

    bool link(const std::string &name, const std::string &target, DWORD kind) const {
        constexpr DWORD kWithoutPrivilege = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
        if (!CreateSymbolicLinkW(folder.native(name).c_str(), folder.native(target).c_str(),
                                 kind | kWithoutPrivilege)) {
            return false;
        }
        const DWORD made = GetFileAttributesW(folder.native(name).c_str());
        return made != INVALID_FILE_ATTRIBUTES && (made & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }

    testing::ScratchFolder folder;
};

TEST_F(Links, AreListedAsLinksAndFollowedForWhatTheyLeadTo) {
    auto listing = list_folder(folder.text("tree"), "to-*");
    ASSERT_TRUE(listing);
    int links = 0;
    for (DirectoryEntry entry; listing->next(entry); ++links) {
        EXPECT_TRUE(entry.link) << entry.name;
        EXPECT_EQ(entry.directory, entry.name == "to-folder") << entry.name;
    }
    EXPECT_EQ(links, 2);
    EXPECT_TRUE(attributes(folder.text("tree/to-folder")).value().directory);
    EXPECT_EQ(file_identity(folder.text("tree/to-file")), file_identity(folder.text("outside/kept")));
    EXPECT_FALSE(passes_foreign_link(folder.text("tree/to-folder/kept")));  // our own
}

TEST_F(Links, AreRemovedThemselvesNeverFollowed) {
    ASSERT_TRUE(delete_permanently(folder.text("tree")));
    EXPECT_FALSE(folder.exists("tree"));
    EXPECT_EQ(folder.read("outside/kept"), "x");
}

}  // namespace
}  // namespace quillet::platform
