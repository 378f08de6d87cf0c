// The archiver's table: the zip component's own calls.

#include "job/archiver.h"
#include "zip/archive_staging.h"
#include "zip/lib_basZip.h"

namespace quillet {

const Archiver& linked_archiver() {
    static const Archiver archiver{lib_basZip::lib_ZipInit, lib_basZip::lib_ZipFiles, zip32::staging_folders_left};
    return archiver;
}

}  // namespace quillet
