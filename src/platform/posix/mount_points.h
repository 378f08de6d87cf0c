#pragma once
// Mount points that a table plans (/etc/fstab) and that are mounted now
// (/proc/self/mounts). A drive that is not mounted leaves the folder it is to be
// mounted on: usually empty, and readable like any other.

#include <optional>
#include <string>

namespace quillet::platform::posix {

// The mount point that the planned table lists and the mounted one does not, on
// or above the folder (an absolute native path), with nothing mounted deeper on
// its way; empty when there is none. "/" and entries that mount nowhere (swap) do
// not count; a table that cannot be read lists nothing, and without the mounted
// one the kernel's mark of a mount's root tells.
std::optional<std::string> unmounted_mount_point(const std::string& folder, const char* planned_table,
                                                 const char* mounted_table);

}  // namespace quillet::platform::posix
