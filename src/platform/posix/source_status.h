#pragma once
// What a copy's source is: a regular file, opened without waiting, never a FIFO,
// a device or a file of the kernel's own; its size, permissions and times, taken
// before the copy reads it; and, once the copy is made, whether the source
// changed meanwhile or gave fewer bytes than it held.

#include <sys/types.h>
#include <time.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace quillet::platform::posix {

// Taken before the copy reads the source, so that reading cannot move its access time first.
struct SourceStatus {
    dev_t device = 0;
    mode_t permissions = 0;
    std::uint64_t size = 0;
    bool holes = false;  // fewer blocks than its size needs: a large sparse file
    timespec access_and_write[2] = {};
};

// A descriptor, or negative (the reason in errno).
int open_source(const std::string& native);
// copied when the source is a regular file, ready to be read.
CopyResult read_status(int in, SourceStatus& status);
// Its size or write time is no longer what `before` says.
bool changed_since(int in, const SourceStatus& before);
// It gave fewer bytes than its size, although it neither shrank nor was written to.
bool fell_short(int in, const SourceStatus& source, std::uint64_t copied);

}  // namespace quillet::platform::posix
