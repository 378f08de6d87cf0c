#pragma once
// The program's side of the zip archiver: the options and file list records as
// the program fills them, the call that archives with them, and the callbacks
// that answer the archiver's questions through input boxes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "zip/zip32.h"

namespace quillet::lib_basZip {

// The archiver's options record with its texts held by the program; converted
// to the archiver's record for each call and back afterwards.
struct ZPOPT {
    std::string Date;
    std::string szRootDir;
    std::string szTempDir;
    std::int32_t fTemp = 0;
    std::int32_t fSuffix = 0;
    std::int32_t fEncrypt = 0;
    std::int32_t fSystem = 0;
    std::int32_t fVolume = 0;
    std::int32_t fExtra = 0;
    std::int32_t fNoDirEntries = 0;
    std::int32_t fExcludeDate = 0;
    std::int32_t fIncludeDate = 0;
    std::int32_t fVerbose = 0;
    std::int32_t fQuiet = 0;
    std::int32_t fCRLF_LF = 0;
    std::int32_t fLF_CRLF = 0;
    std::int32_t fJunkDir = 0;
    std::int32_t fGrow = 0;
    std::int32_t fForce = 0;
    std::int32_t fMove = 0;
    std::int32_t fDeleteEntries = 0;
    std::int32_t fUpdate = 0;
    std::int32_t fFreshen = 0;
    std::int32_t fJunkSFX = 0;
    std::int32_t fLatestTime = 0;
    std::int32_t fComment = 0;
    std::int32_t fOffsets = 0;
    std::int32_t fPrivilege = 0;
    std::int32_t fEncryption = 0;
    std::int32_t fRecurse = 0;
    std::int32_t fRepair = 0;
    char fLevel = 0;  // a character "0" to "9"; 0 until the caller or lib_ZipFiles sets one
};

// The file list record: file names or patterns 0 to 99.
struct ZIPnames {
    std::array<std::string, zip32::kMaxFileNames> s;
};

// The longest password the archiver's callback buffer takes whole, in bytes. A
// longer one is refused, never cut short.
inline constexpr std::size_t kLongestPassword = zip32::kPasswordBufferSize - 1;

// Hands the archiver the callback table; false when it does not accept it.
bool lib_ZipInit();

// Archives the first `count` names or patterns of `names` into `zip_path`.
// 99 when the archiver cannot be initialised, 16 for a level other than "0" to
// "9", otherwise the archiver's result (0 for success). A password turns
// encryption on; a level left at 0 becomes "5". The records come back with the
// level and encryption that were used.
std::int32_t lib_ZipFiles(ZPOPT& options, const std::string& zip_path, ZIPnames& names, std::int32_t count,
                          const std::string& password, bool show_messages);

// The address of a callback, unchanged: how the callback table is filled.
template <typename Function>
Function* lib_FnPtr(Function* address) {
    return address;
}

// The callbacks. Errors in them are ignored: a callback never stops the program.
int lib_ZipPrintCallback(char* message, unsigned long length);
int lib_ZipCommentCallback(char* comment);
int lib_ZipPasswordCallback(char* buffer, int size, const char* prompt, const char* name);
int lib_ZipServiceCallback(const char* name, unsigned long size);
// While the archive is written: the windows keep answering.
void lib_ZipProgressCallback(double done);

}  // namespace quillet::lib_basZip
