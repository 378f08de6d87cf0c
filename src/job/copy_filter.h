#pragma once
// What a job's copy pass leaves out: files and folders that an /E pattern names,
// files last written before the /D day, and with /C the side files of the
// databases it compacts, whose content the compacted copy holds.

#include <string>
#include <vector>

#include "files/find_files.h"
#include "job/job_options.h"
#include "text/wildcard.h"

namespace quillet {

// The names of the databases that /C compacts.
bool names_a_database(const std::string& file);

class CopyFilter {
public:
    explicit CopyFilter(const JobOptions& options);

    // The file the walk stands on, by an /E pattern.
    bool excluded(const lib_clsFindFiles& finder) const;
    // Every file below a folder, by its path relative to the source folder, when
    // a pattern matches the folder itself.
    bool excluded_whole(const std::string& relative_folder) const;
    // Last written before the /D day.
    bool too_old(const std::string& source) const;
    // With /C: a database's write-ahead log, its index or its rollback journal.
    bool side_file_of_compacted_database(const std::string& file, const std::string& source) const;

private:
    // An /E pattern excludes a file by its relative path, or every file below a relative folder.
    struct Exclusion {
        WildcardPattern path;
        WildcardPattern below;
    };

    bool written_before_day(const std::string& file) const;

    const JobOptions& options_;
    std::vector<Exclusion> exclusions_;
};

}  // namespace quillet
