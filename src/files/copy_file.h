#pragma once
// Copying files through a temporary name beside the target, so that a target is
// only ever replaced by a complete copy.

#include <cstdint>
#include <string>
#include <utility>

#include "files/user_side.h"
#include "platform/platform.h"
#include "text/error.h"

namespace quillet::lib_basFile {

// The source could not be read (it vanished, no permission, an I/O error, a
// dangling link) or is no regular file: nothing was written and the old target is
// untouched. It is the same "Failed to copy file" error as any other failure of
// the copy, so that a caller that need not tell the sides apart catches an Error;
// one that must go on with its next file catches this first.
class SourceUnreadable : public Error {
public:
    SourceUnreadable(const Error& error, std::string reason, bool regular_file)
        : Error(error), reason_(std::move(reason)), regular_file_(regular_file) {}
    // The system's wording, on one line.
    const std::string& reason() const { return reason_; }
    // A FIFO, socket or device: never opened for its content.
    bool not_a_regular_file() const { return !regular_file_; }

private:
    std::string reason_;
    bool regular_file_;
};

// What the copies put in place: their bytes, and whether a source's size or last
// write time moved while it was read (the copy is kept all the same).
struct CopyTally {
    std::uint64_t bytes = 0;
    bool source_changed = false;
};

// Copies a file, or every file that matches a wildcard source ("C:\a\*.txt"), to a
// target file, or into a folder given with a trailing backslash; a wildcard source
// always goes into the target folder. Each file is copied to a temporary name
// beside its target ("report.~37"); only then does the old target go to the trash
// and the copy take its place, with the source's file times.
//
// False when a file was skipped: source and target are the same text, the target
// exists and blnOverwrite is off, or the target is missing afterwards. A failed
// copy raises "Failed to copy file" with the system's reason (SourceUnreadable
// when the source was at fault); the old target is then untouched and no
// temporary file is left. blnRetryPrompt has no effect (it never had); progress,
// when given, hears how far each file's copy is; tally, when given, adds up what
// was put in place.
bool lib_CopyFile(UserSide& user, const std::string& strSource, const std::string& strTarget, bool blnOverwrite,
                  bool blnRetryPrompt = false, const platform::CopyProgress& progress = {},
                  CopyTally* tally = nullptr);

// lib_CopyFile for the one file a name found on the disk names, which on POSIX may
// hold "*" or "?" as they stand.
bool copy_one_file(UserSide& user, const std::string& source, const std::string& target, bool overwrite);

}  // namespace quillet::lib_basFile
