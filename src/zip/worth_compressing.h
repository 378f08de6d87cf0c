#pragma once
// Whether deflating a file is worth its time. Data that is compressed already
// (photographs, video, archives) or random takes deflate as long as text does and
// comes out no smaller; such files are stored, as other zip tools store them
// (encrypted, framed as stored blocks: zip/stored_blocks.h). The entry extracts to
// the same bytes either way.

#include <cstdint>
#include <string>

namespace quillet::zip32 {

// Judged on samples from the start, the middle and the end of a large file: not
// worth it when none of them shrinks. A small file is always worth it, as are
// files that cannot be read here (the archive reports those).
bool worth_compressing(const std::string& native_path, std::uint64_t size);

}  // namespace quillet::zip32
