#pragma once
// A folder a run makes for its own work (the /Z files before they are archived, an
// archive before it takes its name). It is the run's own: made fresh, exclusively
// and owner-only, never one that was there before; marked as this process's, so
// that a later run deletes it if this one is killed outright; deleted if the run is
// interrupted; and deleted by its owner, which deletes no folder but this one.

#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillet {

class WorkFolder {
public:
    // First deletes the work folders with that prefix that runs of this user which
    // no longer live left in `parent` (path text). Null when none can be made, with
    // the reason in platform::last_error().
    static std::unique_ptr<WorkFolder> Make(const std::string& parent, std::string_view prefix);

    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::string& Path() const { return folder_; }
    // The file beside it that tells which process it is for.
    const std::string& MarkFile() const { return mark_file_; }

    // Deletes the folder with all in it for good, then its mark. False when some
    // of the folder, or its mark, is left; a later run that works there sweeps them.
    bool Remove();
    // What the last Remove left: the folder, or its mark alone.
    const std::string& Left() const { return left_; }

    // Leaves the folder to the user: an interruption no longer deletes it, and
    // with its mark gone no later run sweeps it. Remove still can. False when the
    // mark stays: a later run would then take the folder for an abandoned one.
    bool Keep();

private:
    explicit WorkFolder(platform::MarkedFolder made);

    std::string folder_;
    std::string mark_file_;
    std::string left_;
    // In this order, as an interruption deletes the latest first: the folder goes
    // before its mark.
    platform::RemovedIfInterrupted mark_if_interrupted_;
    platform::RemovedIfInterrupted folder_if_interrupted_;
};

}  // namespace quillet
