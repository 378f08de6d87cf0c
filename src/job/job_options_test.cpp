#include "job/job_options.h"

#include <gtest/gtest.h>

#include "support/jobs.h"
#include "text/error.h"

namespace quillet {
namespace {

// 2024-03-05 14:37.
constexpr Date kToday = 45356.0 + (14 * 60 + 37) / 1440.0;

// The fields that differ from their defaults, in a line.
std::string differences(const JobOptions& o) {
    std::string text = o.SourceSpec + " " + o.TargetDir;
    if (o.IncludeSubdirs) text += " S";
    for (std::size_t i = 0; i < o.ExcludePatterns.size(); ++i) text += (i ? "," : " E=") + o.ExcludePatterns[i];
    if (o.ModifiedSince != 0) text += " D=" + std::to_string(static_cast<int>(o.ModifiedSince));
    if (o.FolderLayout != 1) text += " F=" + std::to_string(o.FolderLayout);
    if (!o.AddonDir.empty()) text += " A=" + o.AddonDir;
    if (o.KeepDays != kKeepEverything) text += " K=" + std::to_string(o.KeepDays);
    if (o.RoundMinutes != 1) text += " M=" + std::to_string(o.RoundMinutes);
    if (o.CompactDatabases) text += " C" + (o.DatabasePassword.empty() ? "" : "=" + o.DatabasePassword);
    if (o.ZipOutput) text += std::string(" Z") + (o.ZipOptions.fEncrypt ? "(encrypted)=" : "") + o.ZipPassword;
    if (o.BadOption) text += " BAD";
    return text;
}

TEST(ParseJobOptions, ReadsEveryOptionAsTheSyntaxTells) {
    struct Case {
        const char* line;
        const char* read;
    };
    const Case cases[] = {
        // Keys are two characters in upper case; the value starts at the fourth.
        {R"(Z:\src\*.* Z:\dst /s /K:5 /m=15 /Sub /A=Extra\Sub /F=4 /f)", R"(Z:\src\*.* Z:\dst S A=Extra\Sub K=5 M=15)"},
        {"a b /K5", "a b K=0"},
        {"a b /K=2.5x", "a b K=2"},  // leading number, halves to even
        {"a b /K=-3 /M=0 /F=7", "a b F=7 K=0"},
        {"a b /X", "a b BAD"},
        // /D=1 is today's midnight, /D=0 tomorrow's.
        {"a b /D=1", "a b D=45356"},
        {"a b /D=0", "a b D=45357"},
        // Only "/Z=" asks for encryption, with or without a password.
        {"a b /Z", "a b Z"},
        {"a b /z=secret", "a b Z(encrypted)=secret"},
        {"a b /Z=", "a b Z(encrypted)="},
        // The database password is the fourth token, or a lone first one.
        {"a b /C=a/b", "a b C"},
        {"a b /C=a", "a b C=a"},
        {"a b /C=a//c", "a b C=a"},
        {"a b /C=a/b/c/d", "a b C=d"},
        {"a b /C:a", "a b C"},                   // only "=" brings a password
        // Exclusions are upper-cased; a later list replaces the first.
        {R"(a b /E="1998\Junk","*.tmp")", R"(a b E=1998\JUNK,*.TMP)"},
        {"a b /E=x,y,z /E=ö", "a b E=Ö"},
    };
    for (const Case& c : cases) EXPECT_EQ(differences(ParseJobOptions(c.line, kToday)), c.read) << c.line;

    EXPECT_THROW(ParseJobOptions("a b /K=40000", kToday), Error);  // 16 bits overflow
    EXPECT_THROW(ParseJobOptions("a b /E=1,2,3,4,5,6,7,8,9,10,11", kToday), Error);
}

class ReadJobOptionsTest : public testing::JobTest {
protected:
    // What the user was shown: the syntax, the last box, or nothing when the job goes on.
    std::string outcome(const std::string& line) {
        screen.syntax_text.clear();
        screen.boxes.clear();
        const bool goes_on = ReadJobOptions(line, run, kToday).has_value();
        if (!screen.syntax_text.empty()) return "syntax";
        return goes_on ? "" : last_box();
    }

    RunState run;
};

TEST_F(ReadJobOptionsTest, SyntaxProblemsComeFirstThenTheDriveThenTheZipRule) {
    const std::string zip_rule = "With /Z option, only /F type 1(def) & 4 allowed, and /A not allowed";
    struct Case {
        const char* line;
        std::string shown;
    };
    const Case cases[] = {
        {"", "syntax"},
        {"/S b", "syntax"},
        {"a /S", "syntax"},
        {"Q:\\nowhere b /Q", "syntax"},
        {R"(Z:\src\*.* Q:\backup /Z /F=2)", "Destination drive Q: not found"},
        {R"(Z:\src\*.* backup)", "Destination drive  not found"},
        {"a Z:\\b /Z /F=2", zip_rule},
        {"a Z:\\b /Z /A=x", zip_rule},
        {"a Z:\\b /Z /F=4", ""},
    };
    run.ShiftKeyAtStart = true;
    for (const Case& c : cases) EXPECT_EQ(outcome(c.line), c.shown) << c.line;
    // Asked only after the line that passed.
    std::string asked;
    for (const auto& q : screen.questions) asked += q.title + ": " + q.prompt + " [" + q.default_text + "]\n";
    EXPECT_EQ(asked, "Quillet: Comment (becomes part of backup dir name) []\nQuillet: Override for /M [1]\n");
}

}  // namespace
}  // namespace quillet
