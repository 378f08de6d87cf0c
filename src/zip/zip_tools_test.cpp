// Archives written by the component, checked by the tools users open them with.
// Skipped where a tool is not installed.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "zip/zip32.h"
#include "support/archives.h"

namespace quillet::zip32 {
namespace {

using namespace zip_test;

int quiet(char*, unsigned long) { return 0; }
int no_comment(char*) { return 0; }
int the_password(char* buffer, int size, const char*, const char*) {
    std::strncpy(buffer, "s3cret pass", static_cast<std::size_t>(size) - 1);
    return 0;
}
int carry_on(const char*, unsigned long) { return 0; }

bool installed(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

class ZipTools : public ::testing::Test {
protected:
    void SetUp() override {
        const ZIPUSERFUNCTIONS functions{quiet, no_comment, the_password, carry_on};
        ASSERT_EQ(ZpInit(&functions), 1);
        tree.file("work/plain.txt", std::string(100000, 'p'));
        std::string counting;  // large enough to be compressed into a scratch file of its own
        for (int i = 0; counting.size() < 400'000; ++i) counting += std::to_string(i) + '\n';
        tree.file("work/counting.txt", counting);
        tree.file("work/caf\xC3\xA9/menu.txt", "soup");
        tree.folder("work/empty");
        root = tree.text("work");
        options.szRootDir = root.c_str();
        options.fRecurse = 1;
    }

    int zip(char level, bool encrypt) {
        options.fLevel = level;
        options.fEncrypt = encrypt ? 1 : 0;
        ZpSetOptions(&options);
        ZIPNAMES names;
        names.zipnames[0] = "*.*";
        return ZpArchive(1, archive_text.c_str(), &names);
    }

    ScratchTree tree;
    std::string root;
    ZPOPT options;
    std::string archive = tree.path("out.zip").string();
    std::string archive_text = tree.text("out.zip");
};

TEST_F(ZipTools, UnzipFindsEveryEntryIntactIncludingOnesAddedLater) {
    if (!installed("unzip")) GTEST_SKIP() << "unzip is not installed";
    ASSERT_EQ(zip('0', false), ZE_OK);
    tree.file("work/later.txt", "added to the existing archive");
    ASSERT_EQ(zip('9', false), ZE_OK);
    EXPECT_EQ(run("unzip -tq '" + archive + "'"), 0);
    const std::string counting = tree.path("work/counting.txt").string();
    EXPECT_EQ(run("unzip -p '" + archive + "' counting.txt | cmp - '" + counting + "'"), 0);
    EXPECT_EQ(run("unzip -l '" + archive + "' | grep -q 'caf\xC3\xA9/menu.txt'"), 0);
}

TEST_F(ZipTools, SevenZipOpensTheEncryptedArchiveOnlyWithItsPassword) {
    if (!installed("7z")) GTEST_SKIP() << "7z is not installed";
    ASSERT_EQ(zip('5', true), ZE_OK);
    EXPECT_EQ(run("7z t -p's3cret pass' '" + archive + "'"), 0);
    EXPECT_EQ(run("7z x -so -p's3cret pass' '" + archive + "' counting.txt | cmp - '" +
                  tree.path("work/counting.txt").string() + "'"),
              0);
    EXPECT_NE(run("7z t -p'wrong' '" + archive + "'"), 0);
}

}  // namespace
}  // namespace quillet::zip32
