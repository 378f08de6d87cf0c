#include "job/copy_filter.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "files/file_times.h"
#include "files/sqlite_engine.h"
#include "text/paths.h"
#include "text/unicode.h"

namespace quillet {

bool names_a_database(const std::string& file) {
    const std::string extension = unicode::to_upper(lib_basConversion::lib_GetFileExt(file));
    return extension == "MDB" || extension == "MDA";
}

CopyFilter::CopyFilter(const JobOptions& options) : options_(options) {
    for (const std::string& pattern : options.ExcludePatterns) {
        // Both sides are upper case, so an exact match ignores case all the same.
        exclusions_.push_back(
            {WildcardPattern(pattern, CaseMode::exact), WildcardPattern(pattern + "\\*", CaseMode::exact)});
    }
}

// The path relative to the source folder is built only when there are patterns to match.
bool CopyFilter::excluded(const lib_clsFindFiles& finder) const {
    if (exclusions_.empty()) return false;
    const std::string upper =
        unicode::to_upper(lib_basConversion::lib_AddPath(finder.RecursedDir(), finder.File()));
    return std::any_of(exclusions_.begin(), exclusions_.end(), [&](const Exclusion& exclusion) {
        return exclusion.path.matches(upper) || exclusion.below.matches(upper);
    });
}

bool CopyFilter::excluded_whole(const std::string& relative_folder) const {
    const std::string upper = unicode::to_upper(relative_folder);
    return std::any_of(exclusions_.begin(), exclusions_.end(),
                       [&](const Exclusion& exclusion) { return exclusion.path.matches(upper); });
}

// A write at any time on the /D day counts. With /C a database in WAL mode was
// written when its log was: its last commits may not have reached its file, and
// its compacted copy takes them in.
bool CopyFilter::too_old(const std::string& source) const {
    if (options_.ModifiedSince == 0) return false;
    if (!written_before_day(source)) return false;
    return !options_.CompactDatabases || !names_a_database(source) || written_before_day(source + "-wal");
}

// No such file reads as written on day 0.
bool CopyFilter::written_before_day(const std::string& file) const {
    return whole_day(lib_basFile::lib_FileDateTime(file, "M", std::nullopt, false)) < options_.ModifiedSince;
}

// The write-ahead log, its index or the rollback journal of a SQLite database
// ("-wal", "-shm", "-journal" after its name): the compacted copy holds what they
// hold, and beside it SQLite would read them over it.
bool CopyFilter::side_file_of_compacted_database(const std::string& file, const std::string& source) const {
    if (!options_.CompactDatabases) return false;
    for (const std::string_view side : {"-wal", "-shm", "-journal"}) {
        if (!file.ends_with(side)) continue;
        // Its name alone tells the extension: a path may be too deep to take apart.
        return names_a_database(file.substr(0, file.size() - side.size())) &&
               IsSqliteDatabase(source.substr(0, source.size() - side.size()));
    }
    return false;
}

}  // namespace quillet
