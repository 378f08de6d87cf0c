#pragma once
// File times as statx reports them, in the host-neutral form.

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/platform.h"

namespace quillet::platform::posix {

// What statx must be asked for to fill FileTimes.
inline constexpr unsigned kTimesMask = STATX_BASIC_STATS | STATX_BTIME;

// The creation time is the birth time where the file system keeps one, else the
// last write time.
FileTimes times_from_statx(const struct statx& info);

}  // namespace quillet::platform::posix
