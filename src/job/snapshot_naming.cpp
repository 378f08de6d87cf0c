#include "job/snapshot_naming.h"

#include <cmath>

#include "files/path_resolution.h"
#include "text/numbers.h"
#include "text/paths.h"

namespace quillet {

namespace {

using lib_basConversion::lib_AddPath;

// The snapshot folder for the layout, with SnapshotParent set to the folder that
// holds the dated folders (left empty by the layouts without a date).
std::string compose_target(JobOptions& options) {
    const std::string& target = options.TargetDir;
    const std::string& subdir = options.SourceSubdirName;
    const std::string& dated = options.DatedName;
    switch (options.FolderLayout) {
        case 1:  // subdir\date
            options.SnapshotParent = lib_AddPath(target, subdir);
            return lib_AddPath(lib_AddPath(options.SnapshotParent, dated), options.AddonDir);
        case 2:  // date\subdir
            options.SnapshotParent = target;
            return lib_AddPath(lib_AddPath(target, lib_AddPath(dated, subdir)), options.AddonDir);
        case 3:  // subdir
            options.SnapshotParent.clear();
            return lib_AddPath(lib_AddPath(target, subdir), options.AddonDir);
        case 4:  // date
            options.SnapshotParent = target;
            return lib_AddPath(lib_AddPath(target, dated), options.AddonDir);
        default:  // no sub
            options.SnapshotParent.clear();
            return lib_AddPath(target, options.AddonDir);
    }
}

}  // namespace

std::int16_t RoundedMinuteOfDay(int minute_of_day, std::int16_t round_minutes) {
    const double steps = std::floor(static_cast<double>(minute_of_day) / round_minutes);
    return checked_int16(static_cast<std::int64_t>(steps) * round_minutes);
}

std::string DatedFolderName(Date day, std::int16_t minute_of_day, const std::string& comment) {
    std::string name = format_date(day, "yyyy-mm-dd") + "   " + two_digits(minute_of_day / 60) + "." +
                       two_digits(minute_of_day % 60);
    if (!comment.empty()) name += "   (" + comment + ")";
    return name;
}

void NameSnapshot(JobOptions& options, const std::string& comment, Date now) {
    options.FilePattern = lib_basConversion::lib_GetFileName(options.SourceSpec);
    options.SourceDir = lib_basConversion::lib_GetPath(options.SourceSpec, true);
    const DateTime moment = parts_from_date(now);
    options.MinuteOfDay = RoundedMinuteOfDay(moment.hour * 60 + moment.minute, options.RoundMinutes);
    options.DatedName = DatedFolderName(now, options.MinuteOfDay, comment);
    options.SourceSubdirName = lib_basConversion::deepest_folder_name(options.SourceDir);
    options.TargetFolder = options.TargetDir;
    options.TargetDir = compose_target(options);
}

}  // namespace quillet
