#include "job/snapshot_naming.h"

#include <algorithm>
#include <cmath>

#include "text/numbers.h"
#include "text/paths.h"

namespace quillet {

namespace {

using lib_basConversion::lib_AddPath;

// The snapshot folder and the folder of dated snapshots for the layout (the
// layouts without a date have none).
void compose_folders(const JobOptions& options, SnapshotPlan& plan) {
    const std::string& target = options.TargetDir;
    const std::string& subdir = plan.SourceSubdirName;
    const std::string& dated = plan.DatedName;
    switch (options.FolderLayout) {
        case 1:  // subdir\date
            plan.SnapshotParent = lib_AddPath(target, subdir);
            plan.SnapshotFolder = lib_AddPath(lib_AddPath(plan.SnapshotParent, dated), options.AddonDir);
            break;
        case 2:  // date\subdir
            plan.SnapshotParent = target;
            plan.SnapshotFolder = lib_AddPath(lib_AddPath(target, lib_AddPath(dated, subdir)), options.AddonDir);
            break;
        case 3:  // subdir
            plan.SnapshotFolder = lib_AddPath(lib_AddPath(target, subdir), options.AddonDir);
            break;
        case 4:  // date
            plan.SnapshotParent = target;
            plan.SnapshotFolder = lib_AddPath(lib_AddPath(target, dated), options.AddonDir);
            break;
        default:  // no sub
            plan.SnapshotFolder = lib_AddPath(target, options.AddonDir);
            break;
    }
}

// A "/" after the last backslash of path text ("Z:\home\Data/*.*") separates
// folders, as the host reads one in the folder's part: no name holds one, so in
// the pattern it would match nothing, and /K would clear the way for an empty
// snapshot.
std::string slashes_after_folders_as_backslashes(std::string spec) {
    const std::size_t last = spec.rfind('\\');
    if (last == std::string::npos) return spec;
    std::replace(spec.begin() + static_cast<std::ptrdiff_t>(last + 1), spec.end(), '/', '\\');
    return spec;
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

SnapshotPlan NameSnapshot(const JobOptions& options, const std::string& comment, Date now) {
    SnapshotPlan plan;
    const std::string source = slashes_after_folders_as_backslashes(options.SourceSpec);
    plan.FilePattern = lib_basConversion::lib_GetFileName(source);
    plan.SourceDir = lib_basConversion::lib_GetPath(source, true);
    const DateTime moment = parts_from_date(now);
    plan.MinuteOfDay = RoundedMinuteOfDay(moment.hour * 60 + moment.minute, options.RoundMinutes);
    plan.DatedName = DatedFolderName(now, plan.MinuteOfDay, comment);
    plan.SourceSubdirName = lib_basConversion::deepest_folder_name(plan.SourceDir);
    compose_folders(options, plan);
    return plan;
}

}  // namespace quillet
