#pragma once
// One ZpArchive call: select the files, ask for what is needed through the
// callbacks, and write the archive.

#include "zip/archive_settings.h"
#include "zip/zip32.h"

namespace quillet::zip32 {

int run_archive(const ZIPUSERFUNCTIONS& callbacks, const StoredOptions& options, int count, const char* archive_path,
                const ZIPNAMES* names);

}  // namespace quillet::zip32
