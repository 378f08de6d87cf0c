#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kSomeoneElse = 65534;

// Someone else's link to a folder of ours, in a folder of theirs; a link of our
// own to that link; a link of root's and an ordinary folder.
TEST(ProtectedLinks, AreFoundWhereverThePathPassesThemUnlessTheyAreOursOrRoots) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give a link to another user";
    testing::ScratchFolder folder{"links"};
    fs::create_directories(folder.native("target/sub"));
    fs::create_directories(folder.native("theirs"));
    ASSERT_EQ(chown(folder.native("theirs").c_str(), kSomeoneElse, kSomeoneElse), 0);
    fs::create_directory_symlink("../target", folder.native("theirs/planted"));
    ASSERT_EQ(lchown(folder.native("theirs/planted").c_str(), kSomeoneElse, kSomeoneElse), 0);
    fs::create_directory_symlink("theirs/planted", folder.native("mine"));
    fs::create_directory_symlink("../target", folder.native("theirs/roots"));

    const struct {
        const char* inside;
        bool foreign;
    } cases[] = {
        {"theirs/planted", true},
        {"theirs/planted/sub/new/deeper", true},
        {"mine/sub", true},  // through a link of our own first
        {"target/../theirs/planted", true},
        {"theirs/roots/../theirs/planted", true},  // ".." after a link counts from where it leads
        {"theirs/roots/sub", false},
        {"target/sub/new", false},
        {"theirs/missing/planted", false},
    };
    for (const auto& path : cases) EXPECT_EQ(passes_foreign_link(folder.text(path.inside)), path.foreign) << path.inside;
}

}  // namespace
}  // namespace quillet::platform
