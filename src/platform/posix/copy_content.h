#pragma once
// Copying a file's bytes from one open file into another: copy_file_range lets
// the kernel (or the file system, by reflink) do the work; read/write is the
// fallback where it cannot, and tells a failure to read the source from a
// failure to write the copy. A file with holes keeps them.

#include <cstdint>

#include "platform/platform.h"

namespace quillet::platform::posix {

// Which side of a copy failed (the reason in errno).
enum class Failure { none, source, target };

// Copies the `size` bytes of in to out, extent by extent where `holes`, telling
// `progress`, when there is one, as platform.h says; `copied` gets the bytes
// copied, holes counted. A progress routine that throws stops the copy, and the
// exception goes on to the caller.
Failure copy_content(int in, int out, std::uint64_t size, bool holes, const CopyProgress& progress,
                     std::uint64_t& copied);

}  // namespace quillet::platform::posix
