#include "zip/archive_settings.h"

#include <optional>
#include <utility>

#include "platform/platform.h"
#include "text/dates.h"
#include "text/error.h"

namespace quillet::zip32 {

namespace {

std::string text_or_empty(const char* text) { return text == nullptr ? std::string() : std::string(text); }

struct Unsupported {
    std::int32_t ZPOPT::*field;
    const char* name;
};

// Fields whose work this archiver does not do; a caller asking for one is told
// so rather than getting an archive made without it.
constexpr Unsupported kUnsupported[] = {
    {&ZPOPT::fTemp, "fTemp"},           {&ZPOPT::fSuffix, "fSuffix"},
    {&ZPOPT::fVolume, "fVolume"},       {&ZPOPT::fExtra, "fExtra"},
    {&ZPOPT::fCRLF_LF, "fCRLF_LF"},     {&ZPOPT::fLF_CRLF, "fLF_CRLF"},
    {&ZPOPT::fForce, "fForce"},         {&ZPOPT::fDeleteEntries, "fDeleteEntries"},
    {&ZPOPT::fJunkSFX, "fJunkSFX"},     {&ZPOPT::fLatestTime, "fLatestTime"},
    {&ZPOPT::fOffsets, "fOffsets"},     {&ZPOPT::fPrivilege, "fPrivilege"},
    {&ZPOPT::fRepair, "fRepair"},
};

// The day a date limit names, "mmddyyyy" as the library always took it or
// "yyyy-mm-dd"; empty when it is no real calendar day.
std::optional<Date> limit_day(const std::string& text) {
    if (text.size() == 8) return parse_iso_date(text.substr(4, 4) + "-" + text.substr(0, 2) + "-" + text.substr(2, 2));
    return parse_iso_date(text);
}

int refuse(std::string& problem, std::string reason) {
    problem = std::move(reason);
    return ZE_PARMS;
}

std::string root_without_trailing_backslash(std::string root) {
    while (root.size() > 1 && root.ends_with('\\') && !root.ends_with(":\\")) root.pop_back();
    if (root.ends_with(":\\")) root.pop_back();  // "C:\" is the drive "C:"
    return root;
}

int read_level(char level, int& result, std::string& problem) {
    if (level == 0) {
        result = 6;
        return ZE_OK;
    }
    if (level < '0' || level > '9') return refuse(problem, "compression level not \"0\" to \"9\"");
    result = level - '0';
    return ZE_OK;
}

int read_recurse(std::int32_t recurse, Recurse& result, std::string& problem) {
    switch (recurse) {
        case 0:
            result = Recurse::none;
            return ZE_OK;
        case 1:
            result = Recurse::with_pattern;
            return ZE_OK;
        case 2:
            result = Recurse::into_folders;
            return ZE_OK;
        default:
            return refuse(problem, "fRecurse must be 0, 1 or 2");
    }
}

int read_date_limits(const StoredOptions& options, SelectionRules& rules, std::string& problem) {
    const ZPOPT& record = options.record;
    if (record.fIncludeDate == 0 && record.fExcludeDate == 0) return ZE_OK;
    std::optional<platform::FileTime> midnight;
    try {
        if (const auto day = limit_day(options.date)) midnight = platform::file_time_from_local_date(*day);
    } catch (const Error&) {
        // A year out of range: no such day.
    }
    if (!midnight) return refuse(problem, "date limit is not a date (mmddyyyy or yyyy-mm-dd): " + options.date);
    if (record.fIncludeDate != 0) rules.modified_from = *midnight;
    if (record.fExcludeDate != 0) rules.modified_before = *midnight;
    return ZE_OK;
}

}  // namespace

StoredOptions store_options(const ZPOPT& options) {
    StoredOptions stored{options, text_or_empty(options.Date), text_or_empty(options.szRootDir),
                         text_or_empty(options.szTempDir)};
    // The copies must not point into the caller's texts, which may be gone by
    // the time an archive is made.
    stored.record.Date = nullptr;
    stored.record.szRootDir = nullptr;
    stored.record.szTempDir = nullptr;
    return stored;
}

int read_settings(const StoredOptions& options, ArchiveSettings& settings, std::string& problem) {
    const ZPOPT& record = options.record;
    for (const Unsupported& unsupported : kUnsupported) {
        if (record.*unsupported.field != 0) return refuse(problem, std::string("unsupported option ") + unsupported.name);
    }
    if (record.fUpdate != 0 && record.fFreshen != 0) return refuse(problem, "fUpdate and fFreshen together");

    ArchiveSettings result;
    if (const int rc = read_level(record.fLevel, result.level, problem); rc != ZE_OK) return rc;
    if (const int rc = read_recurse(record.fRecurse, result.selection.recurse, problem); rc != ZE_OK) return rc;
    if (const int rc = read_date_limits(options, result.selection, problem); rc != ZE_OK) return rc;

    result.selection.root_text = options.root_dir.empty() ? platform::current_directory()
                                                          : root_without_trailing_backslash(options.root_dir);
    result.selection.include_hidden = record.fSystem != 0;
    result.selection.folder_entries = record.fNoDirEntries == 0;
    result.selection.junk_folders = record.fJunkDir != 0;
    result.encrypt = record.fEncrypt != 0;
    result.quiet = record.fQuiet != 0;
    result.verbose = record.fVerbose != 0 && !result.quiet;
    result.move = record.fMove != 0;
    result.update = record.fUpdate != 0;
    result.freshen = record.fFreshen != 0;
    result.comment = record.fComment != 0;
    settings = std::move(result);
    return ZE_OK;
}

}  // namespace quillet::zip32
