#include "zip/lib_basZip.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/recording_front_end.h"
#include "zip/zip_test_support.h"

namespace quillet::lib_basZip {
namespace {

using namespace zip_test;

class LibBasZip : public ::testing::Test {
protected:
    void SetUp() override {
        tree.file("work/a.txt", "alpha");
        options.szRootDir = tree.text("work");
        options.fRecurse = 1;
        names.s[0] = "*.*";
    }

    std::int32_t zip(const std::string& password = {}) {
        return lib_ZipFiles(options, tree.text("out.zip"), names, 1, password, false);
    }
    std::string first_content(const char* password) const {
        const auto entries = read_archive(tree.path("out.zip"), password);
        return entries.empty() ? std::string() : entries.front().second.content;
    }

    ScratchTree tree;
    testing::RecordingFrontEnd window;
    FrontEndScope installed{window};
    ZPOPT options;
    ZIPnames names;
};

TEST_F(LibBasZip, ALevelOutsideZeroToNineIsRefusedWithoutWriting) {
    options.fLevel = 'A';
    EXPECT_EQ(zip("pw"), 16);
    EXPECT_FALSE(fs::exists(tree.path("out.zip")));
    EXPECT_TRUE(window.questions.empty());
}

TEST_F(LibBasZip, ALevelLeftAtZeroComesBackAsFive) {
    EXPECT_TRUE(lib_ZipInit());
    ASSERT_EQ(zip(), 0);
    EXPECT_EQ(options.fLevel, '5');
    EXPECT_EQ(options.fEncrypt, 0);
    EXPECT_EQ(first_content(nullptr), "alpha");
}

TEST_F(LibBasZip, AGivenPasswordTurnsEncryptionOnWithoutAQuestion) {
    ASSERT_EQ(zip("given"), 0);
    EXPECT_EQ(options.fEncrypt, 1);
    EXPECT_TRUE(window.questions.empty());
    EXPECT_EQ(first_content("given"), "alpha");
    EXPECT_EQ(first_content("other"), "<unreadable>");
}

TEST_F(LibBasZip, TheLongestPasswordIsUsedWhole) {
    const std::string longest(kLongestPassword, 'p');
    ASSERT_EQ(zip(longest), 0);
    EXPECT_EQ(first_content(longest.c_str()), "alpha");
    EXPECT_EQ(first_content(longest.substr(1).c_str()), "<unreadable>");
}

TEST_F(LibBasZip, WithoutAStoredPasswordTheUserIsAskedOnce) {
    options.fEncrypt = 1;
    window.answers = {"typed"};
    ASSERT_EQ(zip(), 0);
    ASSERT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(window.questions[0].prompt, "Please Enter The Password!");
    EXPECT_TRUE(window.questions[0].password);
    EXPECT_EQ(first_content("typed"), "alpha");

    // The answer lasts for one archive: the next one asks again, and Cancel fails it.
    fs::remove(tree.path("out.zip"));
    EXPECT_EQ(zip(), 9);
    EXPECT_EQ(window.questions.size(), 2u);
    EXPECT_FALSE(fs::exists(tree.path("out.zip")));
}

TEST_F(LibBasZip, ThePasswordCallbackGivesAPasswordWholeOrRefusesIt) {
    char buffer[6];
    window.answers = {"abcde"};
    ASSERT_EQ(lib_ZipPasswordCallback(buffer, 6, "", ""), 0);
    EXPECT_STREQ(buffer, "abcde");
    EXPECT_TRUE(window.boxes.empty());

    window.answers = {"abcdef"};
    ZIPnames unused;
    lib_ZipFiles(options, "", unused, 0, "", false);  // forgets the stored answer
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(lib_ZipPasswordCallback(buffer, 6, "", ""), 1);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, "The password is longer than 5 bytes");
    EXPECT_EQ(std::string(buffer, 6), "xxxxxx");
}

TEST_F(LibBasZip, TheCommentCallbackKeepsTheCommentOnAnEmptyAnswer) {
    char comment[32] = "before";
    ASSERT_EQ(lib_ZipCommentCallback(comment), 0);
    EXPECT_STREQ(comment, "before");
    window.answers = {"after"};
    ASSERT_EQ(lib_ZipCommentCallback(comment), 0);
    EXPECT_STREQ(comment, "after");
    EXPECT_EQ(window.questions.at(1).prompt, "Enter the comment");
}

}  // namespace
}  // namespace quillet::lib_basZip
