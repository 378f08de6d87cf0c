#include "job/copy_pass.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "files/compact_database.h"
#include "files/copy_file.h"
#include "files/copy_workers.h"
#include "files/existence.h"
#include "files/find_files.h"
#include "files/folders.h"
#include "job/copy_filter.h"
#include "job/zip_pass.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/line_breaks.h"
#include "text/paths.h"
#include "text/vb_errors.h"
#include "ui/activity_report.h"
#include "ui/msgbox.h"
#include "ui/user_side.h"

namespace quillet {

namespace {

using lib_basConversion::lib_AddPath;

// A file or folder that path text cannot name is reported, and left alone.
std::string unnameable_row(const std::string& path, platform::Unnameable why) {
    switch (why) {
        case platform::Unnameable::backslash:
            return "Failed to copy " + path + ": its name holds a backslash";
        case platform::Unnameable::device:
            return "Failed to copy " + path + ": its name is reserved for a device";
        case platform::Unnameable::dot_or_blank_at_end:
        case platform::Unnameable::no:
            break;
    }
    return "Failed to copy " + path + ": its name ends in a dot or a blank";
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

// The user side for the routines the walk calls: before anything is shown, the
// copies handed on before are put in place, so that their rows and failures come
// first, as they would have without threads.
class SettlingUserSide final : public UserSide {
public:
    SettlingUserSide(UserSide& user, lib_basFile::CopyWorkers& copies) : user_(user), copies_(copies) {}

    void do_events() override { user_.do_events(); }
    bool busy() const override { return user_.busy(); }
    void set_busy(bool busy) override { user_.set_busy(busy); }
    void error_box(const std::string& text, std::int16_t countdown) override {
        copies_.put_all_in_place();
        user_.error_box(text, countdown);
    }
    void report_error(const std::string& source, std::int32_t number, const std::string& description,
                      const std::string& details) override {
        copies_.put_all_in_place();
        user_.report_error(source, number, description, details);
    }
    std::string ask(const std::string& prompt, bool secret) override {
        copies_.put_all_in_place();
        return user_.ask(prompt, secret);
    }

private:
    UserSide& user_;
    lib_basFile::CopyWorkers& copies_;
};

// A folder made for a source folder.
struct FolderMade {
    std::string folder;
    std::string source;
};

// Where the walk stood when it made folders: the run's rows, and the folders made
// before.
struct FoldersMark {
    std::size_t rows;
    std::size_t made_before;
};

// The walk, the filters, the duplicate check and every row stay on this thread, in
// the walk's order; the bytes are copied on threads of their own, and each copy is
// put in place here, in the same order. So what a user sees is what one thread
// copying file after file would show.
class CopyRun {
public:
    CopyRun(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target, RunState& run,
            JobActivity& activity, CopyCounts& counts, lib_basFile::KnownFolders& known)
        : options_(options),
          plan_(plan),
          target_(target),
          run_(run),
          activity_(activity),
          counts_(counts),
          known_(known),
          filter_(options),
          named_root_(target.ZipWork ? ArchivePath(target.Folder, plan.DatedName) : target.Folder),
          copies_(run.CopyThreads == 0 ? lib_basFile::DefaultCopyThreads() : run.CopyThreads,
                  [&activity] { activity.let_events_run(); },
                  [this](lib_basFile::PendingCopy& copy) { put_in_place(copy); }),
          settling_user_(FrontEndUserSide(), copies_) {}

    CopyPassOutcome walk() {
        lib_clsFindFiles finder;
        finder.OnUnreadableFolder([this](const std::string& folder) { say("Failed to read dir " + folder); });
        root_identity_ = platform::file_identity(target_.FilesRoot());
        keep_out_of_targets(finder);
        take_over_folders_made(0);  // the snapshot folder, when the job made it
        source_identity_ = platform::file_identity(plan_.SourceDir);
        writes_into_source_ = lies_in_source(target_.FilesRoot());
        try {
            for (bool found = finder.FindFirstFile(plan_.FilePattern, plan_.SourceDir, options_.IncludeSubdirs);
                 found; found = finder.FindNextFile()) {
                if (handle(finder) == CopyPassOutcome::table_full) return CopyPassOutcome::table_full;
                activity_.looking_for_next_file();
                copies_.put_made_in_place();
            }
            copies_.put_all_in_place();
        } catch (...) {
            settle_after_failure();
            // A copy into a folder that went fails with a name that never was.
            report_root_moved_away();
            throw;
        }
        give_folders_their_source_times();
        for (const auto& [folder, why] : finder.UnreachableFolders()) AddMessageAndLog(unnameable_row(folder, why));
        report_root_moved_away();
        return CopyPassOutcome::walked;
    }

private:
    // Another run's /K may take the snapshot folder while this job writes it (a
    // run that outlasts the next one's start): the files put in place since went
    // with it, or into a folder of that name made again.
    void report_root_moved_away() const {
        if (!root_identity_) return;
        const auto now = platform::file_identity(target_.FilesRoot());
        if (now == root_identity_) return;
        // A disk that fails or is pulled answers for no folder, not even the target
        // that /K never takes: its own error says so.
        if (!now && !platform::file_identity(options_.TargetDir)) return;
        AddMessageAndLog("Moved or deleted while copying " + target_.FilesRoot());
    }

    // A row of the walk's own comes after those of the files handed on before it.
    void say(const std::string& row) {
        copies_.put_all_in_place();
        AddMessageAndLog(row);
    }

    // The files before a failure are put in place, as they would have been; an
    // earlier failure among them is the one that ends the job. The files after the
    // one whose copy failed were never to be accepted: their rows and the folders
    // made for them are taken back.
    void settle_after_failure() {
        try {
            copies_.put_all_in_place();
        } catch (...) {
            forget_files_after_failed_copy();
            throw;
        }
        forget_files_after_failed_copy();
    }

    void forget_files_after_failed_copy() {
        if (failed_row_ == nullptr) return;
        const std::size_t rows = run_.CopiedFiles.forget_after(failed_row_);
        const auto later = std::find_if(marks_.begin(), marks_.end(), [&](const FoldersMark& mark) {
            return mark.rows > rows;
        });
        if (later == marks_.end()) return;
        const std::vector<std::string>& made = known_.made();
        for (std::size_t i = made.size(); i > later->made_before; --i) platform::remove_empty_folder(made[i - 1]);
    }

    // A walk that entered a folder the job writes into would copy the snapshot, or
    // earlier ones, into itself. A target that /E leaves out already is no news,
    // and the job's own work folder, in a temporary folder inside the source, is
    // no user's: both are left out without a word.
    void keep_out_of_targets(lib_clsFindFiles& finder) {
        written_into_ = folders_written_into(options_, target_);
        if (written_into_.empty()) return;
        if (target_.ZipWork) {
            work_mark_ = platform::file_identity(target_.ZipWork->MarkFile());
            work_mark_name_ = lib_basConversion::lib_GetFileName(target_.ZipWork->MarkFile());
        }
        finder.WalkFolderIf([this](const std::string& folder, const std::string& relative) {
            const auto identity = platform::file_identity(folder);
            if (!identity || std::find(written_into_.begin(), written_into_.end(), *identity) == written_into_.end()) {
                return true;
            }
            const bool own_work_folder = target_.ZipWork && identity == root_identity_;
            if (!own_work_folder && !filter_.excluded_whole(relative)) {
                say("Skipped " + folder + ": the target lies inside the source");
            }
            return false;
        });
    }

    // The mark beside the job's work folder is no user's file either.
    bool is_work_folder_mark(const lib_clsFindFiles& finder, const std::string& source) const {
        return work_mark_ && finder.File() == work_mark_name_ && platform::file_identity(source) == work_mark_;
    }

    CopyPassOutcome handle(const lib_clsFindFiles& finder) {
        folder_changed_ = folder_changed_ || finder.DirChanged();
        std::string source = finder.FullFile();
        if (left_out(finder, source) || is_work_folder_mark(finder, source)) return CopyPassOutcome::walked;
        if (filter_.side_file_of_compacted_database(finder.File(), source)) return CopyPassOutcome::walked;
        if (finder.IsSpecial()) {
            // Opening a FIFO could wait for ever, a device could answer without end.
            say("Skipped " + source + ": not a regular file");
            return CopyPassOutcome::walked;
        }

        const std::string folder = lib_AddPath(target_.FilesRoot(), finder.RecursedDir());
        std::string destination = lib_AddPath(folder, finder.File());
        if (target_.ZipWork) destination = named_in_archive(destination);
        if (reported_as_duplicate(source, destination)) return CopyPassOutcome::walked;
        // The table takes both texts over, and the copy reads them from there.
        const CopiedFile* accepted = run_.CopiedFiles.add(std::move(source), std::move(destination));
        if (!accepted) {
            copies_.put_all_in_place();
            lib_MsgBoxWarning("Oops, tried to copy more than " + std::to_string(kCopiedFilesLimit) + " files");
            return CopyPassOutcome::table_full;
        }
        copy_into(*accepted, finder.File(), folder);
        return CopyPassOutcome::walked;
    }

    // A name that path text cannot hold, an excluded path, a file older than /D.
    bool left_out(const lib_clsFindFiles& finder, const std::string& source) {
        if (const platform::Unnameable why = platform::unnameable(finder.File()); why != platform::Unnameable::no) {
            // It must not vanish without a word, nor be taken for another.
            say(unnameable_row(source, why));
            return true;
        }
        return filter_.excluded(finder) || filter_.too_old(source);
    }

    // Creates the folder when the walk has just entered it, so that folders holding
    // no copied file are never made.
    void copy_into(const CopiedFile& accepted, const std::string& file, const std::string& folder) {
        // The file name alone has the same extension, and is quicker to take apart.
        const bool compact = options_.CompactDatabases && names_a_database(file);
        activity_.copying(accepted.source, folder, compact);

        bool folder_made = true;
        if (folder_changed_) {
            folder_too_deep_ = too_deep_for_path_text(folder);
            folder_made = !folder_too_deep_ && make_folder(folder);
            if (!folder_made) say("Failed to create dir " + folder);
            writes_into_source_ = folder_made && lies_in_source(folder);
        }
        activity_.let_events_run();
        if (folder_made && !folder_too_deep_) {
            copy_or_compact(accepted, target_.ZipWork ? lib_AddPath(folder, file) : accepted.destination, compact);
        }
        activity_.let_events_run();
        folder_changed_ = false;
    }

    // A folder of the snapshot lies in the source when it, or a folder between it
    // and the snapshot folder, is the source folder: the target names the source,
    // through a link or a mount too, or the snapshot folder holds it (a target that
    // is the source's parent, walked into a subfolder of the source's own name).
    // No file may be copied or compacted onto one of the source's own.
    bool lies_in_source(std::string folder) const {
        if (!source_identity_) return false;
        for (;;) {
            if (platform::file_identity(folder) == source_identity_) return true;
            if (folder.size() <= target_.FilesRoot().size()) return false;
            folder = lib_basConversion::parent_folder(folder);
        }
    }

    // Path text holds at most 100 components. A folder without room for a file and
    // for the folder a compaction works in is refused like one that cannot be made,
    // with every file in it, and the walk goes on: making it, or a path in it,
    // would end the job with an error report.
    static bool too_deep_for_path_text(const std::string& folder) {
        return lib_basConversion::refuses_components(lib_AddPath(folder, "qdb0000\\file"));
    }

    bool make_folder(const std::string& folder) {
        const std::size_t made_before = known_.made().size();
        marks_.push_back({run_.CopiedFiles.size(), made_before});
        if (lib_basFile::lib_MakePath(settling_user_, folder, &known_)) {
            take_over_folders_made(made_before);
            return true;
        }
        return false;
    }

    // A folder the job made for a source folder (the snapshot folder for the
    // source itself, those below it for its subfolders) is at once no more open
    // than that one, and takes its times once the walk has put everything in it.
    void take_over_folders_made(std::size_t made_before) {
        const std::string& root = target_.FilesRoot();
        const std::vector<std::string>& made = known_.made();
        for (std::size_t i = made_before; i < made.size(); ++i) {
            const std::string& folder = made[i];
            std::string source;
            if (folder == root) {
                source = plan_.SourceDir;
            } else if (folder.starts_with(root) && folder.size() > root.size() && folder[root.size()] == '\\') {
                source = lib_AddPath(plan_.SourceDir, folder.substr(root.size() + 1));
            } else {
                continue;
            }
            platform::narrow_access(folder, source);
            folders_made_.push_back({folder, std::move(source)});
        }
    }

    // Once the copies are in place: each changed its folder's write time. Setting
    // a folder's times leaves those of the folder it is in as they are.
    void give_folders_their_source_times() const {
        for (const FolderMade& made : folders_made_) {
            if (const auto times = platform::file_times(made.source)) platform::set_file_times(made.folder, *times);
        }
    }

    // With /Z a file is judged for duplicates, and named in rows, by where it ends
    // up: in the archive, which an earlier job of the run may have written to from
    // a work folder of its own.
    std::string named_in_archive(const std::string& in_work_folder) const {
        return named_root_ + in_work_folder.substr(target_.FilesRoot().size());
    }

    bool reported_as_duplicate(const std::string& source, const std::string& destination) {
        const CopiedFile* first = run_.CopiedFiles.find(destination);
        if (!first) first = same_file_under_another_case(destination);
        if (!first) return false;
        say("Duplicates:");
        AddMessageAndLog(first->destination + " <-- " + first->source);
        AddMessageAndLog(first->destination + " <-- " + source);
        return true;
    }

    // Where the target's file system ignores case (FAT and exFAT disks, SMB shares,
    // Windows), a destination that differs from an earlier one only in case is the
    // earlier one's file, which copying would replace. Rare: the copies made ahead
    // are put in place, and the file system is asked.
    const CopiedFile* same_file_under_another_case(const std::string& destination) {
        const CopiedFile* other = run_.CopiedFiles.find_ignoring_case(destination);
        if (!other) return nullptr;
        copies_.put_all_in_place();
        return lib_basFile::reaches_the_same_file(other->destination, destination) ? other : nullptr;
    }

    // A database that cannot be compacted is copied instead. Failures of either
    // routine that are raised as errors end the job, except a source that could not
    // be read: that one file is reported and the job goes on.
    // A database is compacted in place here, after the files before it.
    void copy_or_compact(const CopiedFile& accepted, std::string target, bool compact) {
        if (writes_into_source_ || accepted.source == target) {
            say("Failed to copy " + accepted.source + " to " + target);
            return;
        }
        if (compact) {
            copies_.put_all_in_place();
            compact = lib_basFile::lib_CompactDatabase(FrontEndUserSide(), accepted.source, target, true,
                                                       options_.DatabasePassword, true);
            activity_.let_events_run();
        }
        if (compact) {
            const auto written = platform::archive_status(target);  // the compacted size
            count_put_in_place(written ? written->size : 0);
        } else {
            copies_.add(std::make_unique<lib_basFile::PendingCopy>(accepted.source, std::move(target)));
        }
    }

    // In the walk's order, on this thread.
    void put_in_place(lib_basFile::PendingCopy& copy) {
        const std::string_view source = copy.source();
        lib_basFile::CopyTally tally;
        try {
            const BusyScope busy(FrontEndUserSide());
            copy.put_in_place(FrontEndUserSide(), &tally);
        } catch (const lib_basFile::SourceUnreadable& failure) {
            AddMessageAndLog(failure.not_a_regular_file()
                                 ? "Skipped " + std::string(source) + ": not a regular file"
                                 : "Failed to copy " + std::string(source) + " to " + std::string(copy.target()) +
                                       ": " + failure.reason());
            return;
        } catch (...) {
            const std::string target(copy.target());
            failed_row_ = run_.CopiedFiles.find(target_.ZipWork ? named_in_archive(target) : target);
            throw;
        }
        count_put_in_place(tally.bytes);
        // The copy is kept: it is all there is of the file, and the next run takes it again.
        if (tally.source_changed) AddMessageAndLog("Changed while copying " + std::string(source));
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
    lib_basFile::KnownFolders& known_;
    const CopyFilter filter_;
    // Where the files end up: the snapshot folder, or with /Z the archive.
    const std::string named_root_;
    std::vector<platform::FileIdentity> written_into_;
    std::optional<platform::FileIdentity> work_mark_;
    std::string work_mark_name_;
    bool folder_changed_ = false;
    bool folder_too_deep_ = false;  // and every file of it left out
    bool writes_into_source_ = false;
    std::optional<platform::FileIdentity> source_identity_;
    std::optional<platform::FileIdentity> root_identity_;
    std::vector<FoldersMark> marks_;
    std::vector<FolderMade> folders_made_;
    // The file whose copy ended the job, once one has.
    const CopiedFile* failed_row_ = nullptr;
    // Last, so that it goes first: copies in flight read the texts above.
    lib_basFile::CopyWorkers copies_;
    SettlingUserSide settling_user_;
};

// " <folder> (<the system's reason>)", or nothing for a folder that has no path text.
std::string named_with_reason(const std::string& folder) {
    if (folder.empty()) return {};
    const std::string reason = WithoutLineEnd(platform::last_error_text());
    return " " + folder + (reason.empty() ? "" : " (" + reason + ")");
}

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
                    "Path not found\r\nNo work folder for /Z could be made in the temporary folder" +
                        named_with_reason(temp_folder));
    }
    return target;
}

CopyPassOutcome CopyPass(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target,
                         RunState& run, JobActivity& activity, CopyCounts& counts) {
    // Nothing is written where the folder could not be made, nor through whatever
    // stands in its place.
    lib_basFile::KnownFolders known;
    if (!lib_basFile::lib_MakePath(FrontEndUserSide(), target.Folder, &known)) {
        AddMessageAndLog("Failed to create dir " + target.Folder);
        return CopyPassOutcome::no_target;
    }
    activity.phase(JobPhase::copying);
    return CopyRun(options, plan, target, run, activity, counts, known).walk();
}

}  // namespace quillet
