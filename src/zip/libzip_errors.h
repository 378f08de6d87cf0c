#pragma once
// libzip's error codes turned into the archiver's Info-ZIP result codes.

namespace quillet::zip32 {

// Opening an existing archive and writing the new one fail for different
// reasons under the same libzip code ("can't open file" is the archive itself
// while opening, a file being added while writing).
enum class ArchiveStage { opening, writing };

int result_for_libzip_error(int libzip_error, ArchiveStage stage);

}  // namespace quillet::zip32
