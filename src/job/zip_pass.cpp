#include "job/zip_pass.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "files/file_deletion.h"
#include "files/work_folder.h"
#include "job/archiver.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/vb_errors.h"
#include "ui/activity_report.h"
#include "ui/reporting.h"
#include "ui/user_side.h"
#include "zip/zip32.h"
#include "zip/zip_results.h"

namespace quillet {

namespace {

// Runs one step of clearing up; a failure in it does not stop the steps after it.
template <typename Step>
void ignoring_errors(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

bool met_before(const std::string& archive, const RunState& run) {
    return std::find(run.ArchiveNames.begin(), run.ArchiveNames.end(), archive) != run.ArchiveNames.end();
}

// Where the first job of the run that meets an archive path writes the archive:
// a folder of its own beside it, so that an older archive stays in place until
// the new one is complete, and no other run writing the same archive at the same
// moment can take the new one's place. A run killed outright leaves the folder
// for the next one that writes there to sweep.
class FreshArchive {
public:
    explicit FreshArchive(const std::string& archive) : archive_(archive) {
        const auto standing = platform::attributes(archive);
        if (standing && standing->directory) {
            failure_ = zip32::ZE_CREAT;  // an archive does not take a folder's place
            return;
        }
        folder_ = WorkFolder::Make(lib_basConversion::parent_folder(archive), "qzs");
        if (!folder_) {
            failure_ = zip_result_of_unmade_folder();
            return;
        }
        path_ = lib_basConversion::lib_AddPath(folder_->Path(), lib_basConversion::lib_GetFileName(archive));
    }
    ~FreshArchive() {
        if (!folder_ || kept_) return;
        ignoring_errors([&] {
            if (!folder_->Remove()) AddMessageAndLog("Failed to cleanup " + folder_->Left());
        });
    }
    FreshArchive(const FreshArchive&) = delete;
    FreshArchive& operator=(const FreshArchive&) = delete;

    // The zip's result when the archive cannot be written there (a folder stands
    // at its name, or no folder of its own can be made beside it), as the archiver
    // has it; 0 when it can.
    std::int32_t failure() const { return failure_; }

    const std::string& path() const { return path_; }

    // Sends the older archive to the trash and gives the new one its name. False,
    // with the row "Failed to cleanup", when the trash cannot take the older one: it
    // is then neither overwritten nor added to. The archiver has written it, so
    // one that is lost meanwhile fails on its way to its place, and says so.
    bool take_place() {
        try {
            const auto keep = [this] { folder_->Keep(); };
            if (lib_basFile::replace_through_trash(FrontEndUserSide(), path_, archive_, keep)) return true;
        } catch (const Error& error) {
            // The older archive may be in the trash by now: the new one is all there is.
            kept_ = true;
            std::string kept = "\r\n\r\nZip:" + archive_ + "\r\nKept as:" + path_;
            if (!folder_->Keep()) {
                kept += "\r\nMove it elsewhere: its folder's mark " + folder_->MarkFile() +
                        " could not be deleted, and a later run would delete the folder";
            }
            throw Error(error.number(), error.source(), error.description() + kept);
        }
        AddMessageAndLog("Failed to cleanup " + archive_);
        return false;
    }

private:
    std::string archive_;
    std::unique_ptr<WorkFolder> folder_;
    std::string path_;
    std::int32_t failure_ = 0;
    bool kept_ = false;
};

std::int32_t zip_folder(const JobOptions& options, const WorkFolder& work, const std::string& archive) {
    zip32::ZPOPT zip_options = options.ZipOptions;
    zip_options.szRootDir = work.Path().c_str();
    zip_options.fRecurse = 1;
    // Names beginning with "." are this host's hidden files. The copy pass put them
    // in the work folder, which is deleted after zipping: left out of the archive
    // they would be lost from the snapshot.
    zip_options.fSystem = 1;
    zip32::ZIPNAMES names;
    names.zipnames[0] = "*.*";
    // The job's options loaded the archiver; 99 is lib_ZipFiles' own result for one that cannot start.
    const Archiver* zip = archiver();
    if (zip == nullptr) return 99;
    const std::int32_t result =
        zip->ZipFiles(FrontEndUserSide(), zip_options, archive, names, 1, options.ZipPassword, false);
    for (const std::string& folder : zip->staging_folders_left()) AddMessageAndLog("Failed to cleanup " + folder);
    return result;
}

}  // namespace

std::string ArchivePath(const std::string& folder, const std::string& dated_name) {
    return lib_basConversion::lib_AddPath(folder, dated_name) + ".zip";
}

bool ZipPass(const JobOptions& options, const SnapshotPlan& plan, const CopyTarget& target,
             const CopyCounts& copied, RunState& run, JobActivity& activity) {
    // A job whose every file was left out, or a duplicate of one in the archive, adds nothing.
    if (!target.ZipWork || copied.files <= 0) return false;
    activity.phase(JobPhase::zipping);
    const std::string archive = ArchivePath(target.Folder, plan.DatedName);
    std::optional<FreshArchive> fresh;
    std::int32_t result = 0;
    if (platform::passes_foreign_link(archive)) {
        // The copies took a while: another user's link put on the way meanwhile
        // would choose where the archive goes. Nothing is written.
        result = zip32::ZE_CREAT;
    } else if (!met_before(archive, run)) {
        // Checked before anything is written, so that a refused job loses nothing.
        if (run.ArchiveNames.size() >= kArchiveNamesLimit) throw vb::error(vb::kSubscriptOutOfRange);
        result = fresh.emplace(archive).failure();
    } else {
        // Before it takes this job's files; the archiver narrows it for each of them.
        platform::narrow_access(archive, plan.SourceDir);
    }
    activity.zipping_into(archive);

    if (result == 0) result = zip_folder(options, *target.ZipWork, fresh ? fresh->path() : archive);
    if (result != 0) {
        lib_ErrorHandler("HandleCommandLineS", 0, "Error creating zip", true,
                         "Zip:" + archive + "\r\nRc:" + std::to_string(result) + " " + zip_result_text(result), 0);
        return false;
    }
    if (!fresh) return true;
    platform::narrow_access(fresh->path(), plan.SourceDir);
    if (!fresh->take_place()) return false;
    run.ArchiveNames.push_back(archive);
    return true;
}

void JobEnding(WorkFolder* zip_work, JobActivity& activity) noexcept {
    // Only the work folder that this job made. Plain copies left behind must not pass in silence.
    if (zip_work) {
        ignoring_errors([&] {
            if (!zip_work->Remove()) AddMessageAndLog("Failed to cleanup " + zip_work->Left());
        });
    }
    ignoring_errors([&] { activity.phase(JobPhase::ended); });
    ignoring_errors([&] { activity.let_events_run(); });
}

}  // namespace quillet
