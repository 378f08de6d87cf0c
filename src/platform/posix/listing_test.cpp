#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/environment.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

// What a listing says of each entry, told without opening it (a FIFO would keep
// its reader waiting); dots first, then the file system's own order. Links to a
// folder and to a file are Links.AreFollowedForWhatTheyLeadToButNeverDeletedThrough's,
// a name that path text cannot carry CopyPassTest.NamesThatPathTextCannotHoldAreReported's.
TEST(Listing, MarksFoldersLinksAndSpecialFilesInTheFileSystemsOrder) {
    testing::ScratchFolder folder{"listing"};
    folder.write("a.txt", "x");
    fs::create_directory(folder.native("sub"));
    fs::create_symlink(folder.native("missing"), folder.native("dangling"));
    ASSERT_EQ(::mkfifo(folder.native("fifo").c_str(), 0644), 0);
    fs::create_symlink(folder.native("fifo"), folder.native("link-to-fifo"));

    std::vector<std::string> order{".", ".."};
    for (const auto& entry : fs::directory_iterator(folder.native())) order.push_back(entry.path().filename());
    std::vector<std::string> names;
    std::map<std::string, std::string> marks;  // (d)irectory, (l)ink, (s)pecial
    auto listing = list_folder(folder.text() + "\\", "*");
    ASSERT_TRUE(listing);
    for (DirectoryEntry entry; listing->next(entry);) {
        names.push_back(entry.name);
        marks[entry.name] = std::string(entry.directory ? "d" : "") + (entry.link ? "l" : "") + (entry.special ? "s" : "");
    }
    EXPECT_EQ(names, order);
    EXPECT_EQ(marks, (std::map<std::string, std::string>{{".", "d"}, {"..", "d"}, {"a.txt", ""}, {"sub", "d"},
                                                           {"dangling", "l"}, {"fifo", "s"}, {"link-to-fifo", "ls"}}));

    // A dangling link has no attributes (nor has an unmapped drive: Existence's "Q:\\unmapped"),
    // and an unmapped drive cannot be listed.
    EXPECT_EQ(attributes(folder.text("dangling")), std::nullopt);
    testing::unset_environment("QUILLET_DRIVES");
    EXPECT_EQ(list_folder("Q:\\", "*"), nullptr);
}

}  // namespace
}  // namespace quillet::platform
