#pragma once
// One ZpArchive call: select the files, ask for what is needed through the
// callbacks, and write the archive.

#include "zip/archive_settings.h"
#include "zip/zip32.h"

namespace quillet::zip32 {

// `threads` compress and encrypt the files; 1 leaves it to the writing of the archive.
int run_archive(const ZIPUSERFUNCTIONS& callbacks, const StoredOptions& options, int count, const char* archive_path,
                const ZIPNAMES* names, int threads);

}  // namespace quillet::zip32
