#include "job/job_options.h"

#include "files/existence.h"
#include "job/archiver.h"
#include "platform/platform.h"
#include "text/numbers.h"
#include "text/paths.h"
#include "text/tokenizer.h"
#include "text/unicode.h"
#include "ui/input_box.h"
#include "ui/msgbox.h"
#include "ui/syntax.h"
#include "ui/version.h"

namespace quillet {

namespace {

using lib_basConversion::lib_GetToken;

// The job's line and its /E list hold ten parts at most; one more fails.
constexpr std::size_t kMostParts = 10;

// One option part, "/K=5": its key is the first two characters in upper case, its
// value everything from the fourth character on, whatever the third one is.
struct OptionPart {
    std::string key;
    std::string value;
    bool has_equals = false;
};

OptionPart read_option_part(const std::string& part) {
    const std::u32string characters = unicode::decode(part);
    OptionPart option;
    option.key = unicode::encode(unicode::to_upper(characters.substr(0, 2)));
    if (characters.size() > 3) option.value = unicode::encode(characters.substr(3));
    option.has_equals = characters.size() > 2 && characters[2] == U'=';
    return option;
}

// /C=wrkgrp/user/pwd/DBpwd names the database password fourth; a value of one
// token is the database password itself.
std::string database_password(std::string value) {
    const std::string first = lib_GetToken(value, "/", true, true);
    const std::string second = lib_GetToken(value, "/", true, true);
    lib_GetToken(value, "/", true, true);
    const std::string fourth = lib_GetToken(value, "/", true, true);
    if (!first.empty() && second.empty()) return first;
    return fourth;
}

void read_option(const std::string& part, JobOptions& options, Date today) {
    const OptionPart option = read_option_part(part);
    if (option.key == "/C") {
        options.CompactDatabases = true;
        if (option.has_equals) options.DatabasePassword = database_password(option.value);
    } else if (option.key == "/E") {
        options.ExcludePatterns = lib_basConversion::lib_GetLineParts3(unicode::to_upper(option.value), lib_basConversion::kCommas,
                                                                       kMostParts);
    } else if (option.key == "/D") {
        // /D=1 is today, /D=2 yesterday, /D=0 tomorrow.
        options.ModifiedSince = whole_day(today) + subtract_int16(1, int16_from_text(option.value));
    } else if (option.key == "/F") {
        options.FolderLayout = int16_from_text(option.value);
    } else if (option.key == "/A") {
        options.AddonDir = option.value;
    } else if (option.key == "/K") {
        options.KeepDays = int16_from_text(option.value);
    } else if (option.key == "/M") {
        options.RoundMinutes = int16_from_text(option.value);
    } else if (option.key == "/S") {
        options.IncludeSubdirs = true;
    } else if (option.key == "/Z") {
        options.ZipOutput = true;
        if (option.has_equals) {
            options.ZipOptions.fEncrypt = 1;
            options.ZipPassword = option.value;
        }
    } else {
        options.BadOption = true;
    }
}

bool names_an_option(const std::string& part) { return part.empty() || part.starts_with('/'); }

}  // namespace

JobOptions ParseJobOptions(const std::string& strCommandline, Date today) {
    const std::vector<std::string> parts = lib_basConversion::lib_GetLineParts3(strCommandline, lib_basConversion::kBlanksAndTabs, kMostParts);
    JobOptions options;
    if (parts.size() > 0) options.SourceSpec = parts[0];
    if (parts.size() > 1) options.TargetDir = parts[1];
    for (std::size_t i = 2; i < parts.size(); ++i) read_option(parts[i], options, today);
    if (options.RoundMinutes == 0) options.RoundMinutes = 1;
    if (options.FolderLayout == 0) options.FolderLayout = 1;
    // A negative count would never stop the keep rule; it keeps nothing, as 0 does.
    if (options.KeepDays < 0) options.KeepDays = 0;
    return options;
}

bool StartZipComponent(RunState& run) {
    if (const Archiver* zip = archiver(); zip != nullptr && zip->ZipInit()) return true;
    lib_MsgBoxWarning("It appears the zip dll is not installed. Copy zip32.dll to system32 or this app dir.");
    run.UnloadRequested = true;
    return false;
}

bool ValidateJobOptions(const JobOptions& options) {
    if (names_an_option(options.SourceSpec) || names_an_option(options.TargetDir) || options.BadOption) {
        ShowSyntax();
        return false;
    }
    const std::string drive = lib_basConversion::lib_GetDrive(options.TargetDir);
    if (!lib_basFile::lib_DirExists(drive)) {
        lib_MsgBoxInfo("Destination drive " + drive + " not found");
        return false;
    }
    // A disk that is not plugged in leaves its empty mount point, on the system's
    // own disk: the snapshot would fill that disk and hide under the mount.
    if (const auto unmounted = platform::unmounted_drive_of(options.TargetDir)) {
        lib_MsgBoxInfo("Destination drive " + *unmounted + " not found");
        return false;
    }
    if (options.ZipOutput &&
        (!options.AddonDir.empty() || (options.FolderLayout != 1 && options.FolderLayout != 4))) {
        lib_MsgBoxInfo("With /Z option, only /F type 1(def) & 4 allowed, and /A not allowed");
        return false;
    }
    if (options.ZipPassword.size() > lib_basZip::kLongestPassword) {
        lib_MsgBoxInfo("The /Z password is longer than " + std::to_string(lib_basZip::kLongestPassword) + " bytes");
        return false;
    }
    return true;
}

void AskShiftQuestions(std::int16_t round_minutes, RunState& run) {
    if (!run.ShiftKeyAtStart) return;
    run.SnapshotComment = InputBox("Comment (becomes part of backup dir name)", kProgramTitle);
    const std::string minutes = InputBox("Override for /M", kProgramTitle, std::to_string(round_minutes));
    run.MinutesOverride = int16_from_text(minutes);
    run.ShiftKeyAtStart = false;
}

std::optional<JobOptions> ReadJobOptions(const std::string& strCommandline, RunState& run, Date today) {
    JobOptions options = ParseJobOptions(strCommandline, today);
    if (options.ZipOutput && !StartZipComponent(run)) return std::nullopt;
    if (!ValidateJobOptions(options)) return std::nullopt;
    AskShiftQuestions(options.RoundMinutes, run);
    if (run.MinutesOverride != 0) options.RoundMinutes = run.MinutesOverride;
    return options;
}

}  // namespace quillet
