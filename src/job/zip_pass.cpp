#include "job/zip_pass.h"

#include <algorithm>

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

// Remembers an archive path the first time the run meets it, and then sends an
// older archive of that path to the trash, so the run starts it afresh. False when
// the trash cannot take the older archive: it is then neither overwritten nor
// added to, and a later job of the run that meets it tries again.
bool start_archive_once(const std::string& archive, RunState& run) {
    if (std::find(run.ArchiveNames.begin(), run.ArchiveNames.end(), archive) != run.ArchiveNames.end()) return true;
    // Checked before the old archive goes, so that a refused job loses nothing.
    if (run.ArchiveNames.size() >= kArchiveNamesLimit) throw vb::error(vb::kSubscriptOutOfRange);
    if (!lib_basFile::lib_KillFile(FrontEndUserSide(), archive, false)) {
        AddMessageAndLog("Failed to cleanup " + archive);
        return false;
    }
    run.ArchiveNames.push_back(archive);
    return true;
}

// Runs one step of the ending; a failure in it does not stop the steps after it.
template <typename Step>
void ignoring_errors(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

}  // namespace

std::string ArchivePath(const std::string& folder, const std::string& dated_name) {
    return lib_basConversion::lib_AddPath(folder, dated_name) + ".zip";
}

void ZipPass(const JobOptions& options, const std::string& dated_name, const CopyTarget& target, RunState& run,
             JobActivity& activity) {
    if (!target.ZipWork || run.CopiedCount() <= 0) return;
    activity.phase(JobPhase::zipping);
    const std::string archive = ArchivePath(target.Folder, dated_name);
    if (!start_archive_once(archive, run)) return;
    activity.zipping_into(archive);

    zip32::ZPOPT zip_options = options.ZipOptions;
    zip_options.szRootDir = target.ZipWork->Path().c_str();
    zip_options.fRecurse = 1;
    // Names beginning with "." are this host's hidden files. The copy pass put them
    // in the work folder, which is deleted after zipping: left out of the archive
    // they would be lost from the snapshot.
    zip_options.fSystem = 1;
    zip32::ZIPNAMES names;
    names.zipnames[0] = "*.*";
    // The job's options loaded the archiver; 99 is lib_ZipFiles' own result for one that cannot start.
    const Archiver* zip = archiver();
    const std::int32_t result =
        zip != nullptr ? zip->ZipFiles(FrontEndUserSide(), zip_options, archive, names, 1, options.ZipPassword, false)
                       : 99;
    if (zip != nullptr) {
        for (const std::string& folder : zip->staging_folders_left()) AddMessageAndLog("Failed to cleanup " + folder);
    }
    if (result != 0) {
        lib_ErrorHandler("HandleCommandLineS", 0, "Error creating zip", true,
                         "Zip:" + archive + "\r\nRc:" + std::to_string(result) + " " + zip_result_text(result), 0);
    }
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
