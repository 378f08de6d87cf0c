#include "job/copy_pass.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "files/compact_database.h"
#include "files/copy_file.h"
#include "files/file_times.h"
#include "files/find_files.h"
#include "files/folders.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/paths.h"
#include "text/unicode.h"
#include "text/vb_errors.h"
#include "text/wildcard.h"
#include "ui/activity_report.h"
#include "ui/msgbox.h"
#include "ui/user_side.h"

namespace quillet {

namespace {

using lib_basConversion::lib_AddPath;

// An /E pattern excludes a file by its relative path, or every file below a relative folder.
struct Exclusion {
    WildcardPattern path;
    WildcardPattern below;
};

std::vector<Exclusion> read_exclusions(const JobOptions& options) {
    std::vector<Exclusion> exclusions;
    for (const std::string& pattern : options.ExcludePatterns) {
        // Both sides are upper case, so an exact match ignores case all the same.
        exclusions.push_back(
            {WildcardPattern(pattern, CaseMode::exact), WildcardPattern(pattern + "\\*", CaseMode::exact)});
    }
    return exclusions;
}

// The folders the job writes into: the target folder, the snapshot folder (which
// lies inside the source when the target is the source's parent) or with /Z the
// archive's folder, and the work folder. Told apart by what they are on the disk,
// not by their names, which links, bind mounts and file systems that ignore case
// make many.
std::vector<platform::FileIdentity> folders_written_into(const JobOptions& options, const CopyTarget& target) {
    std::vector<platform::FileIdentity> written;
    for (const std::string* folder : {&options.TargetDir, &target.Folder, &target.FilesRoot()}) {
        if (folder->empty()) continue;
        if (const auto identity = platform::file_identity(*folder)) written.push_back(*identity);
    }
    return written;
}

class CopyRun {
public:
    CopyRun(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target, RunState& run,
            JobActivity& activity, CopyCounts& counts)
        : options_(options),
          plan_(plan),
          target_(target),
          run_(run),
          activity_(activity),
          counts_(counts),
          exclusions_(read_exclusions(options)) {}

    CopyPassOutcome walk() {
        lib_clsFindFiles finder;
        finder.OnUnreadableFolder([](const std::string& folder) { AddMessageAndLog("Failed to read dir " + folder); });
        keep_out_of_targets(finder);
        for (bool found = finder.FindFirstFile(plan_.FilePattern, plan_.SourceDir, options_.IncludeSubdirs);
             found; found = finder.FindNextFile()) {
            if (handle(finder) == CopyPassOutcome::table_full) return CopyPassOutcome::table_full;
            activity_.looking_for_next_file();
        }
        for (const std::string& folder : finder.UnreachableFolders()) {
            AddMessageAndLog("Failed to copy " + folder + ": its name holds a backslash");
        }
        return CopyPassOutcome::walked;
    }

private:
    // A walk that entered a folder the job writes into would copy the snapshot, or
    // earlier ones, into itself. A target that /E leaves out already is no news.
    void keep_out_of_targets(lib_clsFindFiles& finder) {
        written_into_ = folders_written_into(options_, target_);
        if (written_into_.empty()) return;
        finder.WalkFolderIf([this](const std::string& folder, const std::string& relative) {
            const auto identity = platform::file_identity(folder);
            if (!identity || std::find(written_into_.begin(), written_into_.end(), *identity) == written_into_.end()) {
                return true;
            }
            if (!excluded_whole(relative)) AddMessageAndLog("Skipped " + folder + ": the target lies inside the source");
            return false;
        });
    }

    // Every file below a folder is excluded when a pattern matches the folder itself.
    bool excluded_whole(const std::string& relative_folder) const {
        const std::string upper = unicode::to_upper(relative_folder);
        return std::any_of(exclusions_.begin(), exclusions_.end(),
                           [&](const Exclusion& exclusion) { return exclusion.path.matches(upper); });
    }

    CopyPassOutcome handle(const lib_clsFindFiles& finder) {
        folder_changed_ = folder_changed_ || finder.DirChanged();
        std::string source = finder.FullFile();
        if (left_out(finder, source)) return CopyPassOutcome::walked;
        if (finder.IsSpecial()) {
            // Opening a FIFO could wait for ever, a device could answer without end.
            AddMessageAndLog("Skipped " + source + ": not a regular file");
            return CopyPassOutcome::walked;
        }

        const std::string folder = lib_AddPath(target_.FilesRoot(), finder.RecursedDir());
        std::string destination = lib_AddPath(folder, finder.File());
        if (reported_as_duplicate(source, destination)) return CopyPassOutcome::walked;
        // The table takes the source over, and the copy reads it from there.
        const CopiedFile* accepted = run_.CopiedFiles.add(std::move(source), destination);
        if (!accepted) {
            lib_MsgBoxWarning("Oops, tried to copy more than " + std::to_string(kCopiedFilesLimit) + " files");
            return CopyPassOutcome::table_full;
        }
        copy_into(accepted->source, finder.File(), folder, std::move(destination));
        return CopyPassOutcome::walked;
    }

    // A name that path text cannot hold, an excluded path, a file older than /D.
    bool left_out(const lib_clsFindFiles& finder, std::string& source) const {
        if (finder.File().find('\\') != std::string::npos) {
            // It must not vanish without a word.
            AddMessageAndLog("Failed to copy " + source + ": its name holds a backslash");
            return true;
        }
        return excluded(finder) || too_old(source);
    }

    // Creates the folder when the walk has just entered it, so that folders holding
    // no copied file are never made.
    void copy_into(const std::string& source, const std::string& file, const std::string& folder,
                   std::string destination) {
        // The file name alone has the same extension, and is quicker to take apart.
        const std::string extension = unicode::to_upper(lib_basConversion::lib_GetFileExt(file));
        const bool compact = options_.CompactDatabases && (extension == "MDB" || extension == "MDA");
        activity_.copying(source, folder, compact);

        if (folder_changed_ && !lib_basFile::lib_MakePath(FrontEndUserSide(), folder)) {
            AddMessageAndLog("Failed to create dir " + folder);
            destination.clear();
        }
        activity_.let_events_run();
        if (!destination.empty()) copy_or_compact(source, destination, compact);
        activity_.let_events_run();
        folder_changed_ = false;
    }

    // The path relative to the source folder is built only when there are patterns to match.
    bool excluded(const lib_clsFindFiles& finder) const {
        if (exclusions_.empty()) return false;
        const std::string upper = unicode::to_upper(lib_AddPath(finder.RecursedDir(), finder.File()));
        for (const Exclusion& exclusion : exclusions_) {
            if (exclusion.path.matches(upper) || exclusion.below.matches(upper)) return true;
        }
        return false;
    }

    // A file last written before the /D day; a write at any time on that day counts.
    bool too_old(std::string& source) const {
        if (options_.ModifiedSince == 0) return false;
        return whole_day(lib_basFile::lib_FileDateTime(source, "M", std::nullopt, false)) < options_.ModifiedSince;
    }

    bool reported_as_duplicate(const std::string& source, const std::string& destination) {
        const CopiedFile* first = run_.CopiedFiles.find(destination);
        if (!first) return false;
        AddMessageAndLog("Duplicates:");
        AddMessageAndLog(first->destination + " <-- " + first->source);
        AddMessageAndLog(first->destination + " <-- " + source);
        return true;
    }

    // A database that cannot be compacted is copied instead. Failures of either
    // routine that are raised as errors end the job, except a source that could not
    // be read: that one file is reported and the job goes on.
    void copy_or_compact(const std::string& source, std::string& destination, bool compact) {
        if (compact) {
            compact = lib_basFile::lib_CompactDatabase(FrontEndUserSide(), source, destination, true,
                                                       options_.DatabasePassword, true);
            activity_.let_events_run();
        }
        if (compact) {
            const auto written = platform::archive_status(destination);  // the compacted size
            count_put_in_place(written ? written->size : 0);
        } else {
            copy(source, destination);
        }
    }

    void copy(const std::string& source, const std::string& destination) {
        lib_basFile::CopyTally tally;
        try {
            if (!lib_basFile::lib_CopyFile(FrontEndUserSide(), source, destination, true, false, {}, &tally)) {
                AddMessageAndLog("Failed to copy " + source + " to " + destination);
                return;
            }
        } catch (const lib_basFile::SourceUnreadable& failure) {
            AddMessageAndLog(failure.not_a_regular_file()
                                 ? "Skipped " + source + ": not a regular file"
                                 : "Failed to copy " + source + " to " + destination + ": " + failure.reason());
            return;
        }
        count_put_in_place(tally.bytes);
        // The copy is kept: it is all there is of the file, and the next run takes it again.
        if (tally.source_changed) AddMessageAndLog("Changed while copying " + source);
    }

    void count_put_in_place(std::uint64_t bytes) {
        ++counts_.files;
        counts_.bytes += bytes;
        activity_.put_in_place(counts_.files, counts_.bytes);
    }

    const JobOptions& options_;
    const SnapshotPlan& plan_;
    const CopyTarget& target_;
    RunState& run_;
    JobActivity& activity_;
    CopyCounts& counts_;
    const std::vector<Exclusion> exclusions_;
    std::vector<platform::FileIdentity> written_into_;
    bool folder_changed_ = false;
};

}  // namespace

CopyTarget PrepareCopyTarget(const JobOptions& options, const SnapshotPlan& plan) {
    CopyTarget target{plan.SnapshotFolder, nullptr};
    if (!options.ZipOutput) return target;
    // The archive goes beside where the dated folder would have been.
    target.Folder = lib_basConversion::parent_folder(plan.SnapshotFolder);
    const std::string temp_folder = platform::temp_folder();
    if (!temp_folder.empty()) target.ZipWork = WorkFolder::Make(temp_folder, "qtk");
    if (!target.ZipWork) {
        // Without a work folder the files would land in the current directory.
        throw Error(vb::kPathNotFound, "HandleCommandLineS",
                    "Path not found\r\nNo work folder for /Z could be made in the temporary folder");
    }
    return target;
}

CopyPassOutcome CopyPass(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target,
                         RunState& run, JobActivity& activity, CopyCounts& counts) {
    // Nothing is written where the folder could not be made, nor through whatever
    // stands in its place.
    if (!lib_basFile::lib_MakePath(FrontEndUserSide(), target.Folder)) {
        AddMessageAndLog("Failed to create dir " + target.Folder);
        return CopyPassOutcome::no_target;
    }
    activity.phase(JobPhase::copying);
    return CopyRun(options, plan, target, run, activity, counts).walk();
}

}  // namespace quillet
