#pragma once
// The look at the source folder that comes before anything is deleted or made: a
// source that is missing (an unmounted drive, a mistyped path) or cannot be read
// must not cost the older snapshots, nor leave an empty snapshot behind. Nor must
// a drive that is not mounted, whose mount point is still there.

#include <string>

namespace quillet {

// True when the source folder can be listed. Otherwise the row "Source folder ...
// not found" or "Failed to read dir ..." has been added, and the job ends.
bool SourceFolderReadable(const std::string& source_dir);

}  // namespace quillet
