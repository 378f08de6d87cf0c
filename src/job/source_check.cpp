#include "job/source_check.h"

#include "platform/platform.h"
#include "ui/activity_report.h"

namespace quillet {

bool SourceFolderReadable(const JobOptions& options) {
    // Listing it is the test that counts; only a failure is looked into further.
    if (platform::list_folder(options.SourceDir, "*")) return true;
    if (platform::attributes(options.SourceDir)) {
        AddMessageAndLog("Failed to read dir " + options.SourceDir);
    } else {
        AddMessageAndLog("Source folder " + options.SourceDir + " not found");
    }
    return false;
}

}  // namespace quillet
