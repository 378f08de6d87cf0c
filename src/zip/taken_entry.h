#pragma once
// The source through which the archive takes over an entry that EntryWorkers
// compressed: when the archive comes to it, it waits for the entry, then hands
// over its compressed (and encrypted) bytes as they are, with the sizes, checksum
// and file attributes that go with them.

#include <cstddef>
#include <functional>

#include "zip/entry_workers.h"

struct zip;
struct zip_source;

namespace quillet::zip32 {

// A libzip source for file `number` of the workers, for `archive`; `waiting` runs
// while it waits. Null when libzip cannot make one (the reason is in the archive).
zip_source* taken_entry_source(zip* archive, EntryWorkers& workers, std::size_t number,
                               std::function<void()> waiting);

}  // namespace quillet::zip32
