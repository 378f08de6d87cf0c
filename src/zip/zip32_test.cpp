#include "zip/zip32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <random>

#include "support/archives.h"
#include "support/links.h"

namespace quillet::zip32 {
namespace {

using namespace zip_test;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAre;

// What the callbacks were told and what they answer.
struct Calls {
    std::vector<std::string> messages;
    std::vector<std::string> serviced;
    std::string password_answer;
    int password_result = 0;
    int password_questions = 0;
    std::string comment_answer;
    int cancel_at = -1;  // the service call that cancels
    std::map<std::string, std::function<void()>> when_serviced;  // done as that entry is announced
};
Calls calls;

int print(char* message, unsigned long length) {
    calls.messages.emplace_back(message, length);
    return 0;
}
int comment(char* buffer) {
    std::strcpy(buffer, calls.comment_answer.c_str());
    return 0;
}
int password(char* buffer, int size, const char*, const char*) {
    ++calls.password_questions;
    std::strncpy(buffer, calls.password_answer.c_str(), static_cast<std::size_t>(size) - 1);
    return calls.password_result;
}
int service(const char* name, unsigned long) {
    calls.serviced.emplace_back(name);
    if (const auto found = calls.when_serviced.find(name); found != calls.when_serviced.end()) found->second();
    return static_cast<int>(calls.serviced.size()) - 1 == calls.cancel_at ? 1 : 0;
}

// Every test runs with files compressed while the archive is written (1) and on
// threads ahead of it (3): what comes out must not tell the two apart.
class Zip32 : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        set_compression_threads(GetParam());
        calls = Calls{};
        const ZIPUSERFUNCTIONS functions{print, comment, password, service};
        ASSERT_EQ(ZpInit(&functions), 1);
        root = tree.text("work");
        options.szRootDir = root.c_str();
        options.fRecurse = 1;
        options.fLevel = '5';
        archive = tree.path("out.zip");
        archive_text = tree.text("out.zip");
    }
    void TearDown() override { set_compression_threads(0); }

    int zip(std::vector<std::string> requests = {"*.*"}) {
        ZpSetOptions(&options);
        ZIPNAMES names;
        for (std::size_t i = 0; i < requests.size(); ++i) names.zipnames[i] = requests[i].c_str();
        return ZpArchive(static_cast<int>(requests.size()), archive_text.c_str(), &names);
    }

    ScratchTree tree;
    std::string root;
    ZPOPT options;
    fs::path archive;
    std::string archive_text;
};

TEST_P(Zip32, ArchivesTheTreeBelowTheRootWithFolderEntriesContentsAndTimes) {
    tree.file("work/a.txt", std::string(5000, 'a'));
    tree.file("work/sub/b.txt", "bee", kFileTime + 2);
    tree.file("work/sub/deep/c.bin", "sea", kFileTime + 4);
    tree.folder("work/sub/deep", kFileTime + 6);
    tree.folder("work/sub", kFileTime + 8);
    tree.folder("work/empty", kFileTime + 10);

    ASSERT_EQ(zip(), ZE_OK);
    const auto entries = read_archive(archive);
    std::map<std::string, Entry> by_name(entries.begin(), entries.end());
    EXPECT_THAT(names_in(archive),
                UnorderedElementsAre("a.txt", "sub/", "sub/b.txt", "sub/deep/", "sub/deep/c.bin", "empty/"));
    EXPECT_EQ(by_name["a.txt"].content, std::string(5000, 'a'));
    EXPECT_EQ(by_name["a.txt"].method, ZIP_CM_DEFLATE);
    EXPECT_EQ(by_name["sub/deep/c.bin"].content, "sea");
    EXPECT_EQ(by_name["a.txt"].time, kFileTime);
    EXPECT_EQ(by_name["sub/deep/c.bin"].time, kFileTime + 4);
    EXPECT_EQ(by_name["sub/"].time, kFileTime + 8);
    EXPECT_EQ(by_name["empty/"].time, kFileTime + 10);
    // A folder comes before what it holds.
    const auto names = names_in(archive);
    EXPECT_LT(std::find(names.begin(), names.end(), "sub/"), std::find(names.begin(), names.end(), "sub/b.txt"));
}

TEST_P(Zip32, PatternAndRecurseModeChooseTheEntries) {
    tree.file("work/a.txt", "a");
    tree.file("work/a.log", "a");
    tree.file("work/sub/b.TXT", "b");
    tree.file("work/sub/b.log", "b");
    tree.file("work/logs/c.log", "c");

    ASSERT_EQ(zip({"*.txt"}), ZE_OK);  // case ignored, as the listing matches
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("a.txt", "sub/", "sub/b.TXT"));

    fs::remove(archive);
    options.fRecurse = 2;
    ASSERT_EQ(zip({"sub", "a.log"}), ZE_OK);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("a.log", "sub/", "sub/b.TXT", "sub/b.log"));

    fs::remove(archive);
    options.fRecurse = 0;
    options.fLevel = '0';
    ASSERT_EQ(zip({"logs\\*.*"}), ZE_OK);
    EXPECT_THAT(names_in(archive), ElementsAre("logs/c.log"));
    EXPECT_EQ(read_archive(archive).at(0).second.method, ZIP_CM_STORE);
}

TEST_P(Zip32, HiddenNamesAndLinkedFoldersAreLeftOutUnlessAsked) {
    tree.file("work/.hidden", "h");
    tree.file("work/.config/x", "x");
    tree.file("work/seen", "s");
    tree.file("elsewhere/inside", "i");
    if (!testing::make_link(tree.path("elsewhere"), tree.path("work/linked"), true) ||
        !testing::make_link(tree.path("work/seen"), tree.path("work/alias"), false)) {
        GTEST_SKIP() << testing::kNoLinksHere;
    }

    options.fVerbose = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("seen", "alias"));
    EXPECT_EQ(read_archive(archive).back().second.content, "s");  // a link to a file is followed
    EXPECT_THAT(calls.messages, Contains(HasSubstr("link to a folder not followed: linked")));
    EXPECT_THAT(calls.messages, Contains("hidden, left out: .config\n"));

    fs::remove(archive);
    options.fSystem = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("seen", "alias", ".hidden", ".config/", ".config/x"));
}

TEST_P(Zip32, AFileThatCannotBeReadIsReportedAndTheRestArchived) {
    tree.file("work/good.txt", "g");
    if (!testing::make_link(tree.path("work/missing"), tree.path("work/dangling"), false)) {
        GTEST_SKIP() << testing::kNoLinksHere;
    }
    EXPECT_EQ(zip(), ZE_OPEN);
    EXPECT_THAT(names_in(archive), ElementsAre("good.txt"));
    EXPECT_THAT(calls.messages, Contains("zip warning: cannot read: dangling\n"));
}

TEST_P(Zip32, JunkedFolderNamesAndNoFolderEntries) {
    tree.file("work/one/a.txt", "1");
    tree.file("work/two/b.txt", "2");
    options.fNoDirEntries = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("one/a.txt", "two/b.txt"));

    fs::remove(archive);
    options.fJunkDir = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("a.txt", "b.txt"));

    // Two different files under one bare name cannot both be kept.
    fs::remove(archive);
    tree.file("work/two/a.txt", "3");
    EXPECT_EQ(zip(), ZE_PARMS);
    EXPECT_FALSE(fs::exists(archive));
}

TEST_P(Zip32, EncryptsWithAes256SoOnlyTheRightPasswordOpens) {
    tree.file("work/secret.txt", "classified");
    options.fEncrypt = 1;
    options.fVerbose = 1;
    calls.password_answer = "Tr0ub4dor&3";

    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_EQ(calls.password_questions, 1);
    const auto right = read_archive(archive, "Tr0ub4dor&3");
    EXPECT_EQ(right.at(0).second.encryption, ZIP_EM_AES_256);
    EXPECT_EQ(right.at(0).second.content, "classified");
    EXPECT_EQ(read_archive(archive, "wrong").at(0).second.content, "<unreadable>");
    EXPECT_THAT(file_bytes(archive), Not(HasSubstr("classified")));
    for (const std::string& message : calls.messages) EXPECT_THAT(message, Not(HasSubstr("Tr0ub4dor")));
}

TEST_P(Zip32, NoPasswordFailsTheArchiveRatherThanWritingItPlain) {
    tree.file("work/secret.txt", "classified");
    options.fEncrypt = 1;
    calls.password_result = 1;
    EXPECT_EQ(zip(), ZE_ABORT);
    EXPECT_FALSE(fs::exists(archive));
}

TEST_P(Zip32, AddsToAnExistingArchiveReplacingEntriesOfTheSameName) {
    tree.file("work/keep.txt", "kept");
    tree.file("work/same.txt", "old");
    ASSERT_EQ(zip(), ZE_OK);

    fs::remove(tree.path("work/keep.txt"));
    tree.file("work/same.txt", "new");
    tree.file("work/added.txt", "added");
    ASSERT_EQ(zip(), ZE_OK);
    const auto entries = read_archive(archive);
    const std::map<std::string, Entry> by_name(entries.begin(), entries.end());
    ASSERT_EQ(by_name.size(), 3u);
    EXPECT_EQ(by_name.at("keep.txt").content, "kept");
    EXPECT_EQ(by_name.at("same.txt").content, "new");
    EXPECT_EQ(by_name.at("added.txt").content, "added");
    EXPECT_THAT(calls.messages, Contains("updating: same.txt\n"));

    // A replaced entry keeps its place ahead of the many added with it, so it is
    // written before them although it was added after them.
    for (int i = 0; i < 120; ++i) tree.file("work/more/" + std::to_string(i), std::to_string(i));
    tree.file("work/same.txt", "newer");
    ASSERT_EQ(zip({"more\\*.*", "same.txt"}), ZE_OK);
    const auto again = read_archive(archive);
    ASSERT_EQ(again.size(), 123u);
    for (std::size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(again.at(i).first, entries.at(i).first);
    EXPECT_EQ(std::map(again.begin(), again.end()).at("same.txt").content, "newer");
}

TEST_P(Zip32, AnArchiveInsideTheRootIsNeverAddedToItself) {
    tree.file("work/a.txt", "a");
    archive = tree.path("work/out.zip");
    archive_text = tree.text("work/out.zip");
    ASSERT_EQ(zip(), ZE_OK);
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), ElementsAre("a.txt"));
}

TEST_P(Zip32, AFailedArchiveLeavesTheExistingOneAsItWas) {
    tree.file("work/a.txt", "a");
    ASSERT_EQ(zip(), ZE_OK);
    const std::string before = file_bytes(archive);

    tree.file("work/b.txt", "b");
    calls.serviced.clear();
    calls.cancel_at = 1;
    EXPECT_EQ(zip(), ZE_ABORT);
    EXPECT_EQ(file_bytes(archive), before);

    tree.file("out.zip", "not an archive");
    calls.cancel_at = -1;
    EXPECT_EQ(zip(), ZE_FORM);
    EXPECT_EQ(file_bytes(archive), "not an archive");
    // No temporary is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(tree.root()), fs::directory_iterator()), 2);
}

TEST_P(Zip32, UpdateAndFreshenGoByTheFileTimes) {
    tree.file("work/old.txt", "old", kFileTime + 1);  // kept to two seconds in the archive
    tree.file("work/changed.txt", "v1");
    ASSERT_EQ(zip(), ZE_OK);
    tree.file("work/changed.txt", "v2", kFileTime + 60);
    tree.file("work/new.txt", "new");

    options.fFreshen = 1;
    calls.serviced.clear();
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(calls.serviced, ElementsAre("changed.txt"));
    EXPECT_THAT(names_in(archive), Not(Contains("new.txt")));

    options.fFreshen = 0;
    options.fUpdate = 1;
    calls.serviced.clear();
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(calls.serviced, ElementsAre("new.txt"));
    EXPECT_EQ(zip(), ZE_NONE);  // everything is up to date
}

TEST_P(Zip32, DateLimitsSplitAtMidnightOfTheGivenDay) {
    std::tm noon{};
    noon.tm_year = 2021 - 1900, noon.tm_mon = 5, noon.tm_mday = 15, noon.tm_hour = 12, noon.tm_isdst = -1;
    const std::time_t june15 = std::mktime(&noon);
    tree.file("work/before.txt", "b", june15 - 24 * 3600);
    tree.file("work/on.txt", "o", june15);
    options.fNoDirEntries = 1;
    options.Date = "06152021";
    options.fIncludeDate = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), ElementsAre("on.txt"));

    fs::remove(archive);
    options.Date = "2021-06-15";
    options.fIncludeDate = 0;
    options.fExcludeDate = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), ElementsAre("before.txt"));
}

TEST_P(Zip32, MoveDeletesTheArchivedFilesAndTheFoldersLeftEmpty) {
    tree.file("work/a.txt", "a");
    tree.file("work/sub/b.txt", "b");
    options.fMove = 1;
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("a.txt", "sub/", "sub/b.txt"));
    EXPECT_TRUE(fs::is_empty(tree.path("work")));
}

TEST_P(Zip32, RefusesWhatItCannotDoWithoutWritingAnything) {
    tree.file("work/a.txt", "a");
    const auto refused = [&](auto change, std::vector<std::string> requests = {"*.*"}) {
        const ZPOPT saved = options;
        change(options);
        const int result = zip(requests);
        options = saved;
        return result;
    };
    EXPECT_EQ(refused([](ZPOPT& o) { o.fLevel = 'A'; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fRecurse = 3; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fTemp = 1; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fDeleteEntries = 1; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fUpdate = o.fFreshen = 1; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fIncludeDate = 1, o.Date = "02302021"; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT&) {}, {"..\\*.*"}), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT&) {}, {"*.none"}), ZE_NONE);
    EXPECT_THAT(calls.messages, Contains("zip error: unsupported option fTemp\n"));
    EXPECT_FALSE(fs::exists(archive));

    const ZIPUSERFUNCTIONS incomplete{print, nullptr, password, service};
    EXPECT_EQ(ZpInit(&incomplete), 0);
    EXPECT_EQ(zip(), ZE_LOGIC);
}

TEST_P(Zip32, CallbacksSeeEveryEntryAndMessagesFollowQuiet) {
    tree.file("work/a.txt", "a");
    tree.file("work/sub/b.txt", "b");
    options.fComment = 1;
    calls.comment_answer = "Nightly";
    ASSERT_EQ(zip(), ZE_OK);
    EXPECT_THAT(calls.serviced, UnorderedElementsAre("a.txt", "sub/", "sub/b.txt"));
    EXPECT_THAT(calls.messages, Contains("  adding: sub/b.txt\n"));

    int error = 0;
    zip_t* handle = zip_open(testing::utf8(archive).c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(handle, nullptr);
    EXPECT_STREQ(zip_get_archive_comment(handle, nullptr, 0), "Nightly");
    zip_discard(handle);

    calls.messages.clear();
    options.fQuiet = 1;
    options.fVerbose = 1;
    EXPECT_EQ(zip({"*.none"}), ZE_NONE);
    EXPECT_THAT(calls.messages, IsEmpty());
}

TEST_P(Zip32, ThreadsMakeTheSameEntriesInTheSameOrder) {
    if (GetParam() == 1) GTEST_SKIP() << "compares threads with one";
    std::mt19937 random(7);
    std::string noise(600'000, '\0');  // large enough to be compressed into a scratch file
    for (char& byte : noise) byte = static_cast<char>(random());
    tree.file("work/noise.bin", noise, kFileTime + 2);
    tree.file("work/sub/text.txt", std::string(300'000, 'x') + "end", kFileTime + 4);
    tree.file("work/sub/tiny.txt", "under 20 bytes");  // encrypted, it keeps no checksum
    tree.file("work/empty.txt", "");
    tree.folder("work/sub", kFileTime + 6);
    fs::permissions(tree.path("work/empty.txt"), fs::perms::owner_read);
    for (const char* secret : {"", "pa55word"}) {
        options.fEncrypt = *secret != '\0' ? 1 : 0;
        calls.password_answer = secret;
        std::vector<std::vector<std::pair<std::string, Entry>>> made;
        for (const int threads : {1, GetParam()}) {
            set_compression_threads(threads);
            fs::remove(archive);
            ASSERT_EQ(zip(), ZE_OK) << threads << " threads";
            made.push_back(read_archive(archive, secret));
        }
        EXPECT_EQ(made[1], made[0]) << "password \"" << secret << "\"";
        EXPECT_EQ(made[0].size(), 5u);
    }
}

TEST_P(Zip32, AFileThatCannotBeReadWhenArchivedFailsTheArchive) {
    struct Case {
        const char* name;
        std::function<void(const ScratchTree&)> spoil;
        int result;
    };
    // A POSIX host opens a folder and fails to read it; Windows opens none.
#ifdef _WIN32
    constexpr int kFolderResult = ZE_OPEN;
#else
    constexpr int kFolderResult = ZE_READ;
#endif
    const Case cases[] = {
        {"vanished", [](const ScratchTree& t) { fs::remove(t.path("work/b.txt")); }, ZE_READ},
        {"a folder now", [](const ScratchTree& t) { fs::remove(t.path("work/b.txt")), t.folder("work/b.txt"); },
         kFolderResult},
    };
    for (const Case& c : cases) {
        tree.file("work/a.txt", std::string(400'000, 'a'));
        fs::remove_all(tree.path("work/b.txt"));
        tree.file("work/b.txt", "b");
        tree.file("work/c.txt", "c");
        calls.when_serviced["b.txt"] = [&] { c.spoil(tree); };
        EXPECT_EQ(zip(), c.result) << c.name;
        EXPECT_FALSE(fs::exists(archive)) << c.name;
        // Nothing is left beside the archive.
        EXPECT_EQ(std::distance(fs::directory_iterator(tree.root()), fs::directory_iterator()), 1) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(OneAndThreeThreads, Zip32, ::testing::Values(1, 3));

}  // namespace
}  // namespace quillet::zip32
