#pragma once
// The program's side of the zip archiver: the call that archives with the options
// and file list records the program fills (zip32.h), and the callbacks that answer
// the archiver's questions by asking the user.

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/user_side.h"
#include "zip/zip32.h"

namespace quillet::lib_basZip {

// The longest password the archiver's callback buffer takes whole, in bytes. A
// longer one is refused, never cut short.
inline constexpr std::size_t kLongestPassword = zip32::kPasswordBufferSize - 1;

// Hands the archiver the callback table; false when it does not accept it.
bool lib_ZipInit();

// Archives the first `count` names or patterns of `names` into `zip_path`.
// 99 when the archiver cannot be initialised, 16 for a level other than "0" to
// "9", otherwise the archiver's result (0 for success). A password turns
// encryption on; a level left at 0 becomes "5". The options come back with the
// level and encryption that were used. The archiver's questions (a password it
// lacks, a comment) go to the user side.
std::int32_t lib_ZipFiles(UserSide& user, zip32::ZPOPT& options, const std::string& zip_path,
                          const zip32::ZIPNAMES& names, std::int32_t count, const std::string& password,
                          bool show_messages);

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
