#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kSomeoneElse = 65534;

// A shared sticky folder with a link of someone else's to a folder of ours, a
// link of our own to that link, and an ordinary folder.
TEST(ProtectedLinks, AreFoundWhereverThePathPassesThemWhileTheFolderIsSharedAndSticky) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
    testing::ScratchFolder folder{"links"};
    fs::create_directories(folder.native("target/sub"));
    fs::create_directories(folder.native("shared"));
    ASSERT_EQ(chmod(folder.native("shared").c_str(), 01777), 0);
    fs::create_directory_symlink("../target", folder.native("shared/planted"));
    ASSERT_EQ(lchown(folder.native("shared/planted").c_str(), kSomeoneElse, kSomeoneElse), 0);
    fs::create_directory_symlink("shared/planted", folder.native("mine"));
    fs::create_directory_symlink("../target", folder.native("shared/own"));

    const struct {
        const char* inside;
        bool foreign;
    } cases[] = {
        {"shared/planted", true},
        {"shared/planted/sub/new/deeper", true},
        {"mine/sub", true},  // through a link of our own first
        {"target/../shared/planted", true},
        {"shared/own/../shared/planted", true},  // ".." after a link counts from where it leads
        {"shared/own/sub", false},
        {"target/sub/new", false},
        {"shared/missing/planted", false},
    };
    for (const auto& path : cases) EXPECT_EQ(passes_foreign_link(folder.text(path.inside)), path.foreign) << path.inside;

    for (const mode_t no_longer_shared_and_sticky : {0777, 01755}) {
        ASSERT_EQ(chmod(folder.native("shared").c_str(), no_longer_shared_and_sticky), 0);
        EXPECT_FALSE(passes_foreign_link(folder.text("shared/planted/sub"))) << no_longer_shared_and_sticky;
    }
}

}  // namespace
}  // namespace quillet::platform
