#pragma once
// The names a copy takes. A copy is written into a file without a name (O_TMPFILE)
// where the file system can make one, and gets a name only once its bytes are
// complete: its target's own name when that is free, else a temporary beside it.
// Elsewhere it claims a temporary name first (O_EXCL). A temporary name is
// registered for removal if the run is interrupted, in the same step as it is taken.

#include <sys/types.h>

#include <optional>
#include <string>

#include "platform/platform.h"
#include "platform/posix/last_folder.h"

namespace quillet::platform::posix {

// The names a copy may take, in the order they are tried: the target's own name,
// only for a copy that has no name until it is complete, then the temporaries.
struct NextName {
    std::string text;
    bool final = false;  // the target's own name
};
class NameSequence {
public:
    // target_tried: an earlier sequence over the same names has handed out the
    // target's own name already.
    explicit NameSequence(const CopyNames& names, bool target_tried = false)
        : names_(names), target_tried_(target_tried) {}

    // Empty when no name is left.
    std::optional<NextName> next(bool unnamed);
    bool target_tried() const { return target_tried_; }

private:
    const CopyNames& names_;
    bool target_tried_;
};

// The copy being made, and the name it has or is to have: `native` that name on
// this host, `where` the name in its folder.
struct NewCopy {
    bool unnamed = true;
    NextName name;
    std::string native;
    FolderRelative where{};
    RemovedIfInterrupted if_interrupted;
};

// Makes the copy's file: without a name in the folder of the first name; where that
// cannot be, under the first temporary name that is free. Its descriptor, or -1
// with errno (EEXIST when every name is taken).
int create_copy(NameSequence& names, mode_t permissions, NewCopy& copy);

// Gives a complete copy without a name the first of its names that is free; false
// with errno (EEXIST when every one is taken). A named copy has its name already.
bool give_name(int out, NameSequence& names, NewCopy& copy);

}  // namespace quillet::platform::posix
