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
    std::string first_content(const char* password) const {
        const auto entries = read_archive(tree.path("out.zip"), password);
        return entries.empty() ? std::string() : entries.front().second.content;
    }

    ScratchTree tree;
    const std::string root = tree.text("work");
    testing::RecordingUserSide user;
    zip32::ZPOPT options;
    zip32::ZIPNAMES names;
};

TEST_F(LibBasZip, ALevelOutsideZeroToNineIsRefusedWithoutWriting) {
    options.fLevel = 'A';
    EXPECT_EQ(zip("pw"), 16);
    EXPECT_FALSE(fs::exists(tree.path("out.zip")));
    EXPECT_TRUE(user.questions.empty());
}

TEST_F(LibBasZip, ALevelLeftAtZeroComesBackAsFive) {
    EXPECT_TRUE(lib_ZipInit());
    ASSERT_EQ(zip(), 0);
    EXPECT_EQ(options.fLevel, '5');
    EXPECT_EQ(options.fEncrypt, 0);
    EXPECT_EQ(first_content(nullptr), "alpha");
}

TEST_F(LibBasZip, AGivenPasswordTurnsEncryptionOnAndIsUsedWholeWithoutAQuestion) {
    const std::string longest(kLongestPassword, 'p');
    ASSERT_EQ(zip(longest), 0);
    EXPECT_EQ(options.fEncrypt, 1);
    EXPECT_TRUE(user.questions.empty());
    EXPECT_EQ(first_content(longest.c_str()), "alpha");
    EXPECT_EQ(first_content(longest.substr(1).c_str()), "<unreadable>");
}

TEST_F(LibBasZip, WithoutAStoredPasswordTheUserIsAskedOnce) {
    options.fEncrypt = 1;
    user.answers = {"typed"};
    ASSERT_EQ(zip(), 0);
    EXPECT_EQ(user.questions, std::vector<std::string>{"Please Enter The Password! (secret)"});
    EXPECT_EQ(first_content("typed"), "alpha");

    // The answer lasts for one archive: the next one asks again, and Cancel fails it.
    fs::remove(tree.path("out.zip"));
    EXPECT_EQ(zip(), 9);
    EXPECT_EQ(user.questions.size(), 2u);
    EXPECT_FALSE(fs::exists(tree.path("out.zip")));
}

TEST_F(LibBasZip, ATypedPasswordTooLongForTheArchiverIsRefusedNeverCutShort) {
    options.fEncrypt = 1;
    user.answers = {std::string(kLongestPassword + 1, 'p')};
    EXPECT_EQ(zip(), 9);
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].first, "The password is longer than 255 bytes");
    EXPECT_FALSE(fs::exists(tree.path("out.zip")));
}

TEST_F(LibBasZip, TheCommentIsAskedForAndAnEmptyAnswerKeepsIt) {
    options.fComment = 1;
    user.answers = {"Nightly"};
    ASSERT_EQ(zip(), 0);
    ASSERT_EQ(zip(), 0);  // added to, and Cancel
    EXPECT_EQ(user.questions, (std::vector<std::string>{"Enter the comment", "Enter the comment"}));
    int error = 0;
    zip_t* handle = zip_open(testing::utf8(tree.path("out.zip")).c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(zip_get_archive_comment(handle, nullptr, 0), "Nightly");
    zip_discard(handle);
}

}  // namespace
}  // namespace quillet::lib_basZip
