#pragma once
// The folder that holds a /Z job's plain copies until the zip pass has archived
// them. It is the job's own: made fresh, exclusively and owner-only in the
// temporary folder, never one that was there before; marked as this process's, so
// that a later run can tell it was left behind if this one is killed outright;
// deleted if the run is interrupted; and deleted by the job's ending, which
// deletes no folder but this one.

#include <memory>
#include <string>

#include "platform/platform.h"

namespace quillet {

class ZipWorkFolder {
public:
    // First deletes the work folders that runs of this user which no longer live
    // left behind. Raises error 76 when no work folder can be made.
    static std::shared_ptr<ZipWorkFolder> Make();

    ZipWorkFolder(const ZipWorkFolder&) = delete;
    ZipWorkFolder& operator=(const ZipWorkFolder&) = delete;

    const std::string& Path() const { return folder_; }

    // Deletes the folder with all in it for good, then its mark. False when some
    // of the folder is left; a mark left alone is found by a later run.
    bool Remove();

private:
    explicit ZipWorkFolder(platform::MarkedFolder made);

    std::string folder_;
    std::string mark_file_;
    // In this order, as an interruption deletes the latest first: the folder goes
    // before its mark.
    platform::RemovedIfInterrupted mark_if_interrupted_;
    platform::RemovedIfInterrupted folder_if_interrupted_;
};

}  // namespace quillet
