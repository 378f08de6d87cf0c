#pragma once
// Where an archive is written before it takes its name: a work folder of its own
// beside the archive (files/work_folder.h).
// libzip writes its own temporary file next to the file it writes, so that one
// lands in the folder too. An existing archive is added to through a copy there, so that
// nothing can damage it before the finished archive replaces it in one step.

#include <memory>
#include <string>
#include <vector>

#include "files/work_folder.h"

namespace quillet::zip32 {

class ArchiveStaging {
public:
    // Makes the folder beside the archive (path text), with a copy of the archive
    // in it when there is one, after deleting those that runs which no longer live
    // left there. Returns a ZE_ code; `staging` is set on ZE_OK.
    static int prepare(const std::string& archive_text, std::unique_ptr<ArchiveStaging>& staging);

    // Deletes the folder with whatever is still in it, then its mark; a folder,
    // or a mark, that cannot be deleted is kept for staging_folders_left().
    ~ArchiveStaging();
    ArchiveStaging(const ArchiveStaging&) = delete;
    ArchiveStaging& operator=(const ArchiveStaging&) = delete;

    // The folder itself (path text), for other work files of the archive.
    const std::string& folder() const { return folder_->Path(); }

    // The native path to write the archive to.
    const std::string& staged_native() const { return staged_native_; }

    // Gives the written archive its name, replacing an older one, once it is no more
    // open than `open_to` (POSIX permission bits) lets it be. Returns a ZE_ code.
    int put_in_place(std::uint32_t open_to);

private:
    ArchiveStaging(std::string archive_text, std::unique_ptr<WorkFolder> folder);

    std::string archive_text_;
    std::unique_ptr<WorkFolder> folder_;
    std::string staged_text_;
    std::string staged_native_;
};

// The staging folders (path text) that could not be deleted since the last call:
// an archive, half written or a copy, must not stay beside it unreported.
std::vector<std::string> staging_folders_left();

}  // namespace quillet::zip32
