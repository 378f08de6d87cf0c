#include "job/zip_pass.h"

#include <algorithm>
#include <optional>

#include "files/database_temp_names.h"
#include "files/existence.h"
#include "files/file_deletion.h"
#include "files/work_folder.h"
#include "job/archiver.h"
#include "platform/platform.h"
#include "text/paths.h"
#include "text/vb_errors.h"
#include "ui/activity_report.h"
#include "ui/reporting.h"
#include "ui/user_side.h"
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

// Where the first job of the run that meets an archive path writes the archive: a
// free temporary name beside it, so that an older archive stays in place until
// the new one is complete. The file goes unless it took the archive's name.
class FreshArchive {
public:
    explicit FreshArchive(const std::string& archive)
        : archive_(archive), path_(lib_basFile::TemporaryNames(archive).draw({})), if_interrupted_(path_) {}
    ~FreshArchive() {
        if (kept_) return;
        ignoring_errors([&] {
            try {
                if (lib_basFile::file_exists_at(path_)) platform::remove_file(path_);
            } catch (const Error&) {
                AddMessageAndLog("Failed to cleanup " + path_);
            }
        });
    }
    FreshArchive(const FreshArchive&) = delete;
    FreshArchive& operator=(const FreshArchive&) = delete;

    const std::string& path() const { return path_; }

    // Sends the older archive to the trash and gives the new one its name. False,
    // with the row "Failed to cleanup", when the trash cannot take the older one: it
    // is then neither overwritten nor added to. An archive that the zip left
    // unwritten (no entries) replaces nothing.
    bool take_place() {
        if (!lib_basFile::file_exists_at(path_)) return false;
        try {
            if (lib_basFile::replace_through_trash(FrontEndUserSide(), path_, archive_, if_interrupted_)) return true;
        } catch (const Error& error) {
            // The older archive may be in the trash by now: the new one is all there is.
            kept_ = true;
            if_interrupted_.forget();
            throw Error(error.number(), error.source(),
                        error.description() + "\r\n\r\nZip:" + archive_ + "\r\nKept as:" + path_);
        }
        AddMessageAndLog("Failed to cleanup " + archive_);
        return false;
    }

private:
    std::string archive_;
    std::string path_;
    platform::RemovedIfInterrupted if_interrupted_;
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

bool ZipPass(const JobOptions& options, const std::string& dated_name, const CopyTarget& target,
             const CopyCounts& copied, RunState& run, JobActivity& activity) {
    // A job whose every file was left out, or a duplicate of one in the archive, adds nothing.
    if (!target.ZipWork || copied.files <= 0) return false;
    activity.phase(JobPhase::zipping);
    const std::string archive = ArchivePath(target.Folder, dated_name);
    std::optional<FreshArchive> fresh;
    if (!met_before(archive, run)) {
        // Checked before anything is written, so that a refused job loses nothing.
        if (run.ArchiveNames.size() >= kArchiveNamesLimit) throw vb::error(vb::kSubscriptOutOfRange);
        fresh.emplace(archive);
    }
    activity.zipping_into(archive);

    const std::int32_t result = zip_folder(options, *target.ZipWork, fresh ? fresh->path() : archive);
    if (result != 0) {
        lib_ErrorHandler("HandleCommandLineS", 0, "Error creating zip", true,
                         "Zip:" + archive + "\r\nRc:" + std::to_string(result) + " " + zip_result_text(result), 0);
        return false;
    }
    if (!fresh) return true;
    if (!fresh->take_place()) return false;
    run.ArchiveNames.push_back(archive);
    return true;
}

void JobEnding(WorkFolder* zip_work, JobActivity& activity) noexcept {
    // Only the work folder that this job made. Plain copies left behind must not pass in silence.
    if (zip_work) {
        ignoring_errors([&] {
            if (!zip_work->Remove()) AddMessageAndLog("Failed to cleanup " + zip_work->Path());
        });
    }
    ignoring_errors([&] { activity.phase(JobPhase::ended); });
    ignoring_errors([&] { activity.let_events_run(); });
}

}  // namespace quillet
