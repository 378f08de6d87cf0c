#pragma once
// A file as deflate's stored blocks: its bytes as they are, framed as a deflated
// entry. An encrypted entry of a file not worth compressing takes this form
// rather than "stored": libzip can take such an entry over from another archive
// as it is (it would checksum the encrypted bytes of a stored one), so that it
// too is encrypted ahead of the archive on the compressing threads. It extracts
// to the same bytes, and costs five bytes in 64 KiB.

#include <string>

struct zip;
struct zip_source;

namespace quillet::zip32 {

// The source of a file's entry (native path), for the archive and the
// compressing threads alike, so that both make the same entry: the file as it
// is, or as stored blocks; with the file's time and attributes either way. Null
// when libzip cannot make one (the reason is in the archive).
zip_source* file_entry_source(zip* archive, const std::string& native_path, bool stored_blocks);

}  // namespace quillet::zip32
