#include "job/job_options.h"

#include <gmock/gmock.h>

#include "job/job_test_support.h"
#include "text/error.h"

namespace quillet {
namespace {

using ::testing::HasSubstr;

// 2024-03-05 14:37.
constexpr Date kToday = 45356.0 + (14 * 60 + 37) / 1440.0;

class JobOptionsTest : public testing::JobTest {
protected:
    JobOptions parse(const std::string& line) {
        JobOptions options;
        EXPECT_TRUE(ParseJobOptions(line, options, run, kToday));
        return options;
    }
    bool read(const std::string& line) { return ReadJobOptions(line, options, run, kToday); }

    RunState run;
    JobOptions options;
};

TEST_F(JobOptionsTest, KeysAreTwoCharactersInUpperCaseAndValuesStartAtTheFourth) {
    const JobOptions read = parse(R"(Z:\src\*.* Z:\dst /s /K:5 /m=15 /Sub /A=Extra\Sub /F=4 /f)");
    EXPECT_EQ(read.SourceSpec, R"(Z:\src\*.*)");
    EXPECT_EQ(read.TargetDir, R"(Z:\dst)");
    EXPECT_TRUE(read.IncludeSubdirs);
    EXPECT_EQ(read.KeepDays, 5);
    EXPECT_EQ(read.RoundMinutes, 15);
    EXPECT_EQ(read.AddonDir, R"(Extra\Sub)");
    EXPECT_EQ(read.FolderLayout, 0);  // the later plain /F wins
    EXPECT_FALSE(read.BadOption);

    EXPECT_EQ(parse("a b /K5").KeepDays, 0);
    EXPECT_EQ(parse("a b /K=2.5x").KeepDays, 2);  // leading number, halves to even
    EXPECT_EQ(parse("a b").KeepDays, kKeepEverything);
    EXPECT_TRUE(parse("a b /X").BadOption);
    EXPECT_THROW(parse("a b /K=40000"), Error);  // 16 bits overflow

    // /D=1 is today's midnight, /D=2 yesterday's, /D=0 tomorrow's.
    EXPECT_EQ(parse("a b /D=1").ModifiedSince, 45356.0);
    EXPECT_EQ(parse("a b /D=2").ModifiedSince, 45355.0);
    EXPECT_EQ(parse("a b /D=0").ModifiedSince, 45357.0);

    // Only "/Z=" asks for encryption, with or without a password.
    EXPECT_EQ(parse("a b /Z").ZipOptions.fEncrypt, 0);
    const JobOptions encrypted = parse("a b /z=secret");
    EXPECT_TRUE(encrypted.ZipOutput);
    EXPECT_EQ(encrypted.ZipOptions.fEncrypt, 1);
    EXPECT_EQ(encrypted.ZipPassword, "secret");
}

TEST_F(JobOptionsTest, TheDatabasePasswordIsTheFourthTokenOrALoneFirst) {
    EXPECT_EQ(parse("a b /C=a/b").DatabasePassword, "");
    EXPECT_EQ(parse("a b /C=a").DatabasePassword, "a");
    EXPECT_EQ(parse("a b /C=a//c").DatabasePassword, "a");
    EXPECT_EQ(parse("a b /C=a/b/c/d").DatabasePassword, "d");
    EXPECT_EQ(parse(R"(a b /C="w/x"/y/z/pw)").DatabasePassword, "z");  // the quotes are gone already
    const JobOptions plain = parse("a b /C");
    EXPECT_TRUE(plain.CompactDatabases);
    EXPECT_EQ(plain.DatabasePassword, "");
    EXPECT_EQ(parse("a b /C:a").DatabasePassword, "");  // only "=" brings a password
}

TEST_F(JobOptionsTest, ExclusionsAreUpperCasedAndALaterListReplacesTheFirst) {
    const JobOptions first = parse(R"(a b /E="1998\Junk","*.tmp")");
    EXPECT_EQ(first.ExcludeCount, 2);
    EXPECT_EQ(first.ExcludePatterns[1], R"(1998\JUNK)");
    EXPECT_EQ(first.ExcludePatterns[2], "*.TMP");

    const JobOptions replaced = parse("a b /E=x,y,z /E=ö");
    EXPECT_EQ(replaced.ExcludeCount, 1);
    EXPECT_EQ(replaced.ExcludePatterns[1], "Ö");
    EXPECT_EQ(replaced.ExcludePatterns[2], "");

    JobOptions too_many;
    EXPECT_THROW(ParseJobOptions("a b /E=1,2,3,4,5,6,7,8,9,10,11", too_many, run, kToday), Error);
}

TEST_F(JobOptionsTest, SyntaxProblemsComeFirstThenAMissingDestinationDrive) {
    for (const char* line : {"", "/S b", "a /S", "a b /Q", "Q:\\nowhere b /Q"}) {
        screen.syntax_text.clear();
        options = JobOptions();
        EXPECT_FALSE(read(line)) << line;
        EXPECT_FALSE(screen.syntax_text.empty()) << line;
    }
    EXPECT_TRUE(screen.boxes.empty());

    options = JobOptions();
    EXPECT_FALSE(read(R"(Z:\src\*.* Q:\backup /Z /F=2)"));
    EXPECT_EQ(last_box(), "Destination drive Q: not found");
    options = JobOptions();
    EXPECT_FALSE(read(R"(Z:\src\*.* backup)"));
    EXPECT_EQ(last_box(), "Destination drive  not found");
}

TEST_F(JobOptionsTest, ZipAllowsLayoutsOneAndFourWithoutAnAddOn) {
    const std::string refused = "With /Z option, only /F type 1(def) & 4 allowed, and /A not allowed";
    for (const char* line : {"a Z:\\b /Z /F=2", "a Z:\\b /Z /A=x", "a Z:\\b /Z /F=7"}) {
        options = JobOptions();
        EXPECT_FALSE(read(line)) << line;
        EXPECT_EQ(last_box(), refused);
    }
    for (const char* line : {"a Z:\\b /Z /F=4", "a Z:\\b /Z /F", "a Z:\\b /Z"}) {
        options = JobOptions();
        EXPECT_TRUE(read(line)) << line;
    }
    // Zeroes take the defaults; a negative keep keeps nothing.
    EXPECT_EQ(options.FolderLayout, 1);
    options = JobOptions();
    ASSERT_TRUE(read(R"(a Z:\b /M=0 /K=-3)"));
    EXPECT_EQ(options.RoundMinutes, 1);
    EXPECT_EQ(options.KeepDays, 0);
}

TEST_F(JobOptionsTest, TheShiftQuestionsAreAskedOnceAfterValidationAndTheOverrideStays) {
    run.ShiftKeyAtStart = true;
    screen.answers = {"weekly", "15"};
    EXPECT_FALSE(read("a b"));  // no drive: fails before the questions
    EXPECT_TRUE(screen.questions.empty());

    options = JobOptions();
    ASSERT_TRUE(read(R"(a Z:\b /M=5)"));
    ASSERT_EQ(screen.questions.size(), 2u);
    EXPECT_EQ(screen.questions[0].prompt, "Comment (becomes part of backup dir name)");
    EXPECT_EQ(screen.questions[0].default_text, "");
    EXPECT_EQ(screen.questions[1].prompt, "Override for /M");
    EXPECT_EQ(screen.questions[1].default_text, "5");
    EXPECT_EQ(screen.questions[1].title, "Quillet");
    EXPECT_FALSE(run.ShiftKeyAtStart);
    EXPECT_EQ(run.SnapshotComment, "weekly");
    EXPECT_EQ(options.RoundMinutes, 15);

    options = JobOptions();
    ASSERT_TRUE(read(R"(a Z:\b /M=60)"));
    EXPECT_EQ(screen.questions.size(), 2u);
    EXPECT_EQ(options.RoundMinutes, 15);
}

}  // namespace
}  // namespace quillet
