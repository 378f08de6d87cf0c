#include "zip/libzip_errors.h"

#include <zip.h>

#include "zip/zip32.h"

namespace quillet::zip32 {

int result_for_libzip_error(int libzip_error, ArchiveStage stage) {
    switch (libzip_error) {
        case ZIP_ER_OK:
            return ZE_OK;
        case ZIP_ER_EOF:
            return ZE_EOF;
        case ZIP_ER_NOZIP:
        case ZIP_ER_INCONS:
        case ZIP_ER_MULTIDISK:
        case ZIP_ER_CRC:
        case ZIP_ER_COMPRESSED_DATA:
            return ZE_FORM;
        case ZIP_ER_MEMORY:
            return ZE_MEM;
        case ZIP_ER_TMPOPEN:
            return ZE_TEMP;
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_TELL:
            return ZE_READ;
        case ZIP_ER_WRITE:
        case ZIP_ER_CLOSE:
        case ZIP_ER_RENAME:
        case ZIP_ER_REMOVE:
            return ZE_WRITE;
        case ZIP_ER_RDONLY:
            return ZE_CREAT;
        case ZIP_ER_OPEN:
        case ZIP_ER_NOENT:
            return stage == ArchiveStage::opening ? ZE_CREAT : ZE_OPEN;
        case ZIP_ER_CANCELLED:
            return ZE_ABORT;
        default:
            // Invalid arguments, unsupported methods, entries changed under us:
            // our own mistakes rather than the user's files.
            return ZE_LOGIC;
    }
}

}  // namespace quillet::zip32
