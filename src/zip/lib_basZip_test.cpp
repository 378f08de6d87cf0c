#include "zip/lib_basZip.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <zip.h>

#include "support/recording_user_side.h"
#include "support/archives.h"

namespace quillet::lib_basZip {
namespace {

using namespace zip_test;

class LibBasZip : public ::testing::Test {
protected:
    void SetUp() override {
        tree.file("work/a.txt", "alpha");
        options.szRootDir = root.c_str();
        options.fRecurse = 1;
        names.zipnames[0] = "*.*";
    }

    std::int32_t zip(const std::string& password = {}) {
        return lib_ZipFiles(user, options, tree.text("out.zip"), names, 1, password, false);
    }
    // The content of the only file, or "" when there is no archive.
    std::string content(const char* password = nullptr) const {
        const auto entries = read_archive(tree.path("out.zip"), password);
        return entries.empty() ? std::string() : entries.front().second.content;
    }

    ScratchTree tree;
    const std::string root = tree.text("work");
    testing::RecordingUserSide user;
    zip32::ZPOPT options;
    zip32::ZIPNAMES names;
};

// A password is used whole, never cut short. One that is typed, and one too long,
// are the end-to-end SafetyRules.AZipPasswordIsUsedWholeOrRefused's.
TEST_F(LibBasZip, TheLongestPasswordIsUsedWhole) {
    const std::string longest(kLongestPassword, 'p');
    ASSERT_EQ(zip(longest), 0);  // had it been asked for, no one would have answered
    EXPECT_EQ(content(longest.c_str()), "alpha");
    EXPECT_EQ(content(longest.substr(1).c_str()), "<unreadable>");
    EXPECT_EQ(read_archive(tree.path("out.zip")).at(0).second.encryption, ZIP_EM_AES_256);
    EXPECT_THAT(file_bytes(tree.path("out.zip")), ::testing::Not(::testing::HasSubstr("alpha")));
}

// The archive's comment closes the file.
TEST_F(LibBasZip, TheCommentIsAskedForAndAnEmptyAnswerKeepsIt) {
    options.fComment = 1;
    user.answers = {"Nightly"};
    ASSERT_EQ(zip(), 0);
    ASSERT_EQ(zip(), 0);  // added to, and Cancel
    EXPECT_EQ(user.questions, (std::vector<std::string>{"Enter the comment", "Enter the comment"}));
    EXPECT_EQ(options.fLevel, '5');  // a level left at 0 comes back as the default
    EXPECT_TRUE(file_bytes(tree.path("out.zip")).ends_with("Nightly"));
}

}  // namespace
}  // namespace quillet::lib_basZip
