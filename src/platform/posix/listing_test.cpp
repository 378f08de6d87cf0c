#include <dirent.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

// A fresh folder with files, a subfolder and links of every kind.
class Listing : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = (fs::temp_directory_path() / "quillet-listing-XXXXXX").string();
        ASSERT_NE(mkdtemp(name.data()), nullptr);
        folder_ = fs::canonical(name);
        text_ = *path_text(folder_.string());
        for (const char* file : {"a.txt", "B.TXT", "noext", "back\\slash", "[n]#1"}) std::ofstream(folder_ / file) << "x";
        fs::create_directory(folder_ / "sub");
        fs::create_directory_symlink(folder_ / "sub", folder_ / "link-to-sub");
        fs::create_symlink(folder_ / "a.txt", folder_ / "link-to-file");
        fs::create_symlink(folder_ / "missing", folder_ / "dangling");
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::vector<DirectoryEntry> list(std::string_view folder_text, std::string_view pattern) {
        std::vector<DirectoryEntry> entries;
        auto listing = list_folder(folder_text, pattern);
        if (!listing) return entries;
        DirectoryEntry entry;
        while (listing->next(entry)) entries.push_back(entry);
        return entries;
    }
    std::vector<std::string> names(std::string_view pattern) {
        std::vector<std::string> result;
        for (const DirectoryEntry& entry : list(text_, pattern)) result.push_back(entry.name);
        return result;
    }

    fs::path folder_;
    std::string text_;
};

TEST_F(Listing, DotsComeFirstThenTheFileSystemsOrder) {
    std::vector<std::string> expected{".", ".."};
    DIR* raw = opendir(folder_.c_str());
    while (const dirent* found = readdir(raw)) {
        const std::string name = found->d_name;
        if (name != "." && name != "..") expected.push_back(name);
    }
    closedir(raw);
    EXPECT_EQ(names("*.*"), expected);
    EXPECT_EQ(expected.size(), 11u);
}

// A name that path text cannot carry is delivered all the same.
TEST_F(Listing, NamesWithABackslashAreListed) {
    EXPECT_EQ(names("back*"), std::vector<std::string>{"back\\slash"});
}

TEST_F(Listing, FoldersAndLinksAreMarked) {
    for (const DirectoryEntry& entry : list(text_ + "\\", "*")) {
        const bool folder = entry.name == "." || entry.name == ".." || entry.name == "sub" || entry.name == "link-to-sub";
        const bool link = entry.name.starts_with("link-") || entry.name == "dangling";
        EXPECT_EQ(entry.directory, folder) << entry.name;
        EXPECT_EQ(entry.link, link) << entry.name;
    }
}

// Told without opening them: a FIFO would keep its reader waiting.
TEST_F(Listing, SpecialFilesAreMarkedLinksFollowed) {
    fs::create_directory(folder_ / "specials");
    ASSERT_EQ(::mkfifo((folder_ / "specials/fifo").c_str(), 0644), 0);
    fs::create_symlink(folder_ / "specials/fifo", folder_ / "specials/link-to-fifo");
    fs::create_symlink(folder_ / "missing", folder_ / "specials/dangling");
    std::ofstream(folder_ / "specials/plain") << "x";
    std::vector<std::string> special;
    for (const DirectoryEntry& entry : list(text_ + "\\specials", "*")) {
        if (entry.special) special.push_back(entry.name);
    }
    std::sort(special.begin(), special.end());
    EXPECT_EQ(special, (std::vector<std::string>{"fifo", "link-to-fifo"}));
}

TEST_F(Listing, UnmappedDrivesCannotBeListed) {
    unsetenv("QUILLET_DRIVES");
    EXPECT_EQ(list_folder("Q:\\", "*"), nullptr);
}

TEST_F(Listing, AttributesFollowLinks) {
    EXPECT_EQ(attributes(text_ + "\\a.txt")->directory, false);
    EXPECT_EQ(attributes(text_ + "\\sub")->directory, true);
    EXPECT_EQ(attributes(text_ + "\\link-to-sub")->directory, true);
    EXPECT_EQ(attributes(text_ + "\\link-to-file")->directory, false);
    EXPECT_EQ(attributes(text_ + "\\dangling"), std::nullopt);
    EXPECT_EQ(attributes(text_ + "\\a.txt\\"), std::nullopt);
    unsetenv("QUILLET_DRIVES");
    EXPECT_EQ(attributes("Q:\\"), std::nullopt);
}

}  // namespace
}  // namespace quillet::platform
