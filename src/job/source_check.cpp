#include "job/source_check.h"

#include "platform/platform.h"
#include "ui/activity_report.h"

namespace quillet {

bool SourceFolderReadable(const std::string& source_dir) {
    // A drive that is not mounted leaves the folder it would cover, which lists
    // like any other: the source is not there all the same.
    const bool there = !platform::unmounted_drive_of(source_dir);
    // Listing it is the test that counts; only a failure is looked into further.
    if (there && platform::list_folder(source_dir, "*")) return true;
    if (there && platform::attributes(source_dir)) {
        AddMessageAndLog("Failed to read dir " + source_dir);
    } else {
        AddMessageAndLog("Source folder " + source_dir + " not found");
    }
    return false;
}

}  // namespace quillet
