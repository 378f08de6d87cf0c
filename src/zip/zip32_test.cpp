#include "zip/zip32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/archives.h"
#include "text/dates.h"
#include "support/links.h"

namespace quillet::zip32 {
namespace {

using namespace zip_test;
using ::testing::Contains;
using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;

// What the callbacks were told and what they answer.
struct Calls {
    std::vector<std::string> messages;
    std::vector<std::string> serviced;
    std::string password_answer;
    int cancel_at = -1;  // the service call that cancels
    std::map<std::string, std::function<void()>> when_serviced;  // done as that entry is announced
};
Calls calls;

int print(char* message, unsigned long length) {
    calls.messages.emplace_back(message, length);
    return 0;
}
int comment(char*) { return 0; }
int password(char* buffer, int size, const char*, const char*) {
    std::strncpy(buffer, calls.password_answer.c_str(), static_cast<std::size_t>(size) - 1);
    return 0;
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
        options.szRootDir = root.c_str();
        options.fRecurse = 1;
        options.fLevel = '5';
    }
    void TearDown() override { set_compression_threads(0); }

    int zip(std::vector<std::string> requests = {"*.*"}) {
        ZpSetOptions(&options);
        ZIPNAMES names;
        for (std::size_t i = 0; i < requests.size(); ++i) names.zipnames[i] = requests[i].c_str();
        const std::string archive_text = platform::path_text(testing::utf8(archive)).value();
        return ZpArchive(static_cast<int>(requests.size()), archive_text.c_str(), &names);
    }
    std::map<std::string, Entry> entries_by_name() const {
        const auto entries = read_archive(archive);
        return {entries.begin(), entries.end()};
    }
    // No temporary is ever left beside the archive.
    long items_beside_work() const {
        return static_cast<long>(std::distance(fs::directory_iterator(tree.root()), fs::directory_iterator())) - 1;
    }

    ScratchTree tree;
    std::string root = tree.text("work");
    ZPOPT options;
    fs::path archive = tree.path("out.zip");
};

// Hidden files, which a job asks for (fSystem), are SnapshotJobTest's; left out, LinksToFiles'.
TEST_P(Zip32, ArchivesTheTreeBelowTheRootWithFolderEntriesContentsAndTimes) {
    tree.file("work/a.txt", std::string(5000, 'a'));
    tree.file("work/sub/deep/c.bin", "sea", kFileTime + 4);
    tree.folder("work/sub/deep", kFileTime + 6);
    tree.folder("work/sub", kFileTime + 8);
    tree.folder("work/empty", kFileTime + 10);
    fs::permissions(tree.path("work/sub/deep"), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::permissions(tree.path("work/a.txt"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    ASSERT_EQ(zip(), ZE_OK);
    const auto names = names_in(archive);
    EXPECT_THAT(calls.serviced, UnorderedElementsAreArray(names));
    EXPECT_THAT(calls.messages, Contains("  adding: sub/deep/c.bin\n"));
    // A folder comes before what it holds.
    EXPECT_LT(std::find(names.begin(), names.end(), "sub/deep/"), std::find(names.begin(), names.end(), "sub/deep/c.bin"));
    std::map<std::string, std::tuple<std::string, std::time_t, int>> made;
    for (const auto& [name, entry] : entries_by_name()) made[name] = {entry.content, entry.time, entry.method};
    EXPECT_EQ(made, (decltype(made){{"a.txt", {std::string(5000, 'a'), kFileTime, ZIP_CM_DEFLATE}},
                                    {"sub/", {"", kFileTime + 8, ZIP_CM_STORE}},
                                    {"sub/deep/", {"", kFileTime + 6, ZIP_CM_STORE}},
                                    {"sub/deep/c.bin", {"sea", kFileTime + 4, ZIP_CM_DEFLATE}},
                                    {"empty/", {"", kFileTime + 10, ZIP_CM_STORE}}}));
    // A folder's entry is as open as the folder, where the host keeps permissions,
    // and the archive no more open than the least open file or folder: a.txt
    // takes the group's reading, sub/deep the others'.
#ifdef _WIN32
    EXPECT_EQ(entries_by_name().at("sub/deep/").attributes, ((0040000 | 0755) << 16) | 0x10);
#else
    EXPECT_EQ(entries_by_name().at("sub/deep/").attributes, ((0040000 | 0750) << 16) | 0x10);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(archive).permissions()), 0600 & ~mask);
#endif
}

// An entry's own time field spans 1980 to 2107 in two-second steps; a time outside
// is held at the nearer end, and the extended timestamp keeps the second itself
// from 1970 for as long as four bytes hold it: tools that read it unsigned would
// take a time before 1970 for one after 2038.
TEST_P(Zip32, EntryTimesOutsideTheirFieldAreHeldAtItsEndsAndKeptWholeBeside) {
    const auto local = [](int year, int month, int day, int hour, int minute, int second) {
        return static_cast<std::time_t>(
            platform::unix_from_local_date(date_from_parts({year, month, day, hour, minute, second})).seconds);
    };
    struct Case {
        std::time_t file;
        std::time_t field;
        std::optional<std::time_t> extended;
    };
    const std::map<std::string, Case> cases{
        {"1960", {local(1960, 6, 1, 12, 0, 0), local(1980, 1, 1, 0, 0, 0), std::nullopt}},
        {"1975", {local(1975, 6, 1, 12, 0, 0), local(1980, 1, 1, 0, 0, 0), local(1975, 6, 1, 12, 0, 0)}},
        {"odd", {kFileTime + 1, kFileTime, kFileTime + 1}},
        {"2200", {local(2200, 1, 1, 0, 0, 0), local(2107, 12, 31, 23, 59, 58), std::nullopt}},
    };
    for (const auto& [name, times] : cases) tree.file("work/" + name, name, times.file);
    ASSERT_EQ(zip(), ZE_OK);

    zip_t* archive_handle = zip_open(testing::utf8(archive).c_str(), ZIP_RDONLY, nullptr);
    ASSERT_NE(archive_handle, nullptr);
    for (const auto& [name, times] : cases) {
        const zip_int64_t index = zip_name_locate(archive_handle, name.c_str(), 0);
        zip_stat_t stat;
        ASSERT_EQ(zip_stat_index(archive_handle, static_cast<zip_uint64_t>(index), 0, &stat), 0) << name;
        EXPECT_EQ(stat.mtime, times.field) << name;
        zip_uint16_t length = 0;
        const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive_handle, static_cast<zip_uint64_t>(index),
                                                                 0x5455, 0, &length, ZIP_FL_CENTRAL);
        std::optional<std::time_t> extended;
        if (data != nullptr && length == 5 && data[0] == 1) {
            extended = static_cast<std::int32_t>(data[1] | data[2] << 8 | data[3] << 16 |
                                                 static_cast<std::uint32_t>(data[4]) << 24);
        }
        EXPECT_EQ(extended, times.extended) << name;
    }
    zip_discard(archive_handle);
}

// A link to a file is followed, one to a folder is not; what cannot be read is
// reported and the rest archived.
TEST_P(Zip32, LinksToFilesAreFollowedAndUnreadableFilesReported) {
    tree.file("work/seen", "s");
    tree.file("work/.hidden", "h");
    tree.file("elsewhere/inside", "i");
    if (!testing::make_link(tree.path("elsewhere"), tree.path("work/linked"), true) ||
        !testing::make_link(tree.path("work/seen"), tree.path("work/alias"), false) ||
        !testing::make_link(tree.path("work/missing"), tree.path("work/dangling"), false)) {
        GTEST_SKIP() << testing::kNoLinksHere;
    }
    options.fVerbose = 1;
    EXPECT_EQ(zip(), ZE_OPEN);
    EXPECT_THAT(names_in(archive), UnorderedElementsAre("seen", "alias"));
    EXPECT_EQ(entries_by_name().at("alias").content, "s");
    EXPECT_THAT(calls.messages, Contains(HasSubstr("link to a folder not followed: linked")));
    EXPECT_THAT(calls.messages, Contains("hidden, left out: .hidden\n"));
    EXPECT_THAT(calls.messages, Contains("zip warning: cannot read: dangling\n"));
}

// The archive lies inside the root here: it is never added to itself. A replaced
// entry keeps its place ahead of the many added with it, so it is written before
// them although it was added after them.
TEST_P(Zip32, AddsToAnExistingArchiveReplacingEntriesOfTheSameName) {
    archive = tree.path("work/out.zip");
    tree.file("work/keep.txt", "kept");
    tree.file("work/same.txt", "old");
    ASSERT_EQ(zip(), ZE_OK);
    ASSERT_EQ(zip(), ZE_OK);
    const auto first = names_in(archive);
    EXPECT_THAT(first, UnorderedElementsAre("keep.txt", "same.txt"));
    fs::remove(tree.path("work/keep.txt"));
    for (int i = 0; i < 120; ++i) tree.file("work/more/" + std::to_string(i), std::to_string(i));
    tree.file("work/same.txt", "new");
    ASSERT_EQ(zip({"more\\*.*", "same.txt"}), ZE_OK);
    const auto again = names_in(archive);
    ASSERT_EQ(again.size(), 122u);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), again.begin()));
    EXPECT_EQ(entries_by_name()["same.txt"].content, "new");
    EXPECT_EQ(entries_by_name()["keep.txt"].content, "kept");
    // The replaced entry's time is told once: 7-Zip would take an older field first.
    zip_t* handle = zip_open(testing::utf8(archive).c_str(), ZIP_RDONLY, nullptr);
    ASSERT_NE(handle, nullptr);
    const auto same = static_cast<zip_uint64_t>(zip_name_locate(handle, "same.txt", 0));
    EXPECT_EQ(zip_file_extra_fields_count_by_id(handle, same, 0x5455, ZIP_FL_CENTRAL), 1);
    zip_discard(handle);
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
    EXPECT_EQ(items_beside_work(), 1);
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
    EXPECT_EQ(refused([](ZPOPT& o) { o.fQuiet = o.fVerbose = o.fTemp = 1; }), ZE_PARMS);
    EXPECT_THAT(calls.messages, IsEmpty());  // quiet: no message at all
    EXPECT_EQ(refused([](ZPOPT& o) { o.fRecurse = 3; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fTemp = 1; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT& o) { o.fIncludeDate = 1, o.Date = "02302021"; }), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT&) {}, {"..\\*.*"}), ZE_PARMS);
    EXPECT_EQ(refused([](ZPOPT&) {}, {"*.none"}), ZE_NONE);
    EXPECT_THAT(calls.messages, Contains("zip error: unsupported option fTemp\n"));
    EXPECT_FALSE(fs::exists(archive));

    const ZIPUSERFUNCTIONS incomplete{print, nullptr, password, service};
    EXPECT_EQ(ZpInit(&incomplete), 0);
    EXPECT_EQ(zip(), ZE_LOGIC);
}

TEST_P(Zip32, ThreadsMakeTheSameEntriesInTheSameOrder) {
    if (GetParam() == 1) GTEST_SKIP() << "compares threads with one";
    std::mt19937 random(7);
    // Both large enough to be judged worth compressing or not, and compressed in a scratch file.
    std::string noise(1'100'000, '\0');
    for (char& byte : noise) byte = static_cast<char>(random());
    tree.file("work/noise.bin", noise, kFileTime + 2);
    tree.file("work/sub/text.txt", std::string(1'100'000, 'x') + "end", kFileTime + 4);
    tree.file("work/sub/tiny.txt", "under 20 bytes");  // encrypted, it keeps no checksum
    tree.file("work/empty.txt", "");
    tree.folder("work/sub", kFileTime + 6);
    fs::permissions(tree.path("work/empty.txt"), fs::perms::owner_read);
    options.fVerbose = 1;
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
        const std::map<std::string, Entry> entries(made[0].begin(), made[0].end());
        EXPECT_EQ(entries.size(), 5u);
        // Random, not worth compressing: stored, or encrypted as deflate's stored blocks.
        EXPECT_EQ(entries.at("noise.bin").method, *secret != '\0' ? ZIP_CM_DEFLATE : ZIP_CM_STORE);
        EXPECT_EQ(entries.at("noise.bin").content, noise);
        EXPECT_EQ(entries.at("sub/text.txt").method, ZIP_CM_DEFLATE);
    }
    EXPECT_THAT(calls.messages, Each(Not(HasSubstr("pa55word"))));  // no message shows the password
}

// A file that vanishes, or becomes a folder, after it was chosen.
TEST_P(Zip32, AFileThatCannotBeReadWhenArchivedFailsTheArchive) {
    // A POSIX host opens a folder and fails to read it; Windows opens none.
#ifdef _WIN32
    constexpr int kFolderResult = ZE_OPEN;
#else
    constexpr int kFolderResult = ZE_READ;
#endif
    for (const bool folder_now : {false, true}) {
        tree.file("work/a.txt", std::string(400'000, 'a'));
        fs::remove_all(tree.path("work/b.txt"));
        tree.file("work/b.txt", "b");
        tree.file("work/c.txt", "c");
        calls.when_serviced["b.txt"] = [&] {
            fs::remove(tree.path("work/b.txt"));
            if (folder_now) tree.folder("work/b.txt");
        };
        EXPECT_EQ(zip(), folder_now ? kFolderResult : ZE_READ) << folder_now;
        EXPECT_FALSE(fs::exists(archive)) << folder_now;
        EXPECT_EQ(items_beside_work(), 0) << folder_now;
    }
}

INSTANTIATE_TEST_SUITE_P(OneAndThreeThreads, Zip32, ::testing::Values(1, 3));

}  // namespace
}  // namespace quillet::zip32
