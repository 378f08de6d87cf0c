#pragma once
// The zip archiver as the job reaches it (src/zip, over libzip). libzip and the
// libraries under it are mapped only by a run that zips: quillet loads the
// archiver in the module quillet_zip32 (archiver_loaded.cpp), as the original
// loaded its zip32.dll; test programs have it linked in (archiver_linked.cpp).

#include <cstdint>
#include <string>
#include <vector>

#include "files/user_side.h"
#include "zip/zip32.h"

namespace quillet {

struct Archiver {
    // lib_basZip::lib_ZipInit and lib_basZip::lib_ZipFiles (zip/lib_basZip.h).
    bool (*ZipInit)();
    std::int32_t (*ZipFiles)(UserSide& user, zip32::ZPOPT& options, const std::string& zip_path,
                             const zip32::ZIPNAMES& names, std::int32_t count, const std::string& password,
                             bool show_messages);
    // zip32::staging_folders_left (zip/archive_staging.h).
    std::vector<std::string> (*staging_folders_left)();
};

// The archiver linked in here (archiver_zip.cpp).
const Archiver& linked_archiver();

// The archiver for this run; null when it cannot be loaded (already reported).
const Archiver* archiver();

}  // namespace quillet
