#pragma once
// The zip archiver component: the three calls, records and callbacks of the
// zip32 library interface, served by our own archiver over libzip.
//
// A caller hands over its callback table once (ZpInit), its options record
// (ZpSetOptions) and then archives a list of file names and patterns (ZpArchive).
// Texts in the records are path text (UTF-8, Windows separators); the archive's
// entry names are relative to the root folder, with "/" separators.

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace quillet::zip32 {

// ---------------------------------------------------------------------------
// Results: the Info-ZIP codes, so callers can tell failures apart as before.

inline constexpr int ZE_OK = 0;      // success
inline constexpr int ZE_EOF = 2;     // unexpected end of an existing archive
inline constexpr int ZE_FORM = 3;    // the existing archive is not a valid zip file
inline constexpr int ZE_MEM = 4;     // out of memory
inline constexpr int ZE_LOGIC = 5;   // internal logic error
inline constexpr int ZE_BIG = 6;     // entry too large
inline constexpr int ZE_ABORT = 9;   // cancelled by a callback, or no password given
inline constexpr int ZE_TEMP = 10;   // the temporary archive could not be made
inline constexpr int ZE_READ = 11;   // read or seek error
inline constexpr int ZE_NONE = 12;   // nothing to do
inline constexpr int ZE_WRITE = 14;  // error writing the archive
inline constexpr int ZE_CREAT = 15;  // the archive could not be opened for writing
inline constexpr int ZE_PARMS = 16;  // bad or unsupported option, bad file list
inline constexpr int ZE_OPEN = 18;   // a file to add could not be read

// ---------------------------------------------------------------------------
// Callbacks

// A message to show: text and its length. Returns 0.
using DLLPRNT = int(char* message, unsigned long length);
// The archive comment: the buffer holds the current comment and receives the new
// one, NUL-terminated, at most kCommentBufferSize bytes in all. Returns 0.
using DLLCOMMENT = int(char* comment);
// The password: fill the buffer (size bytes, NUL-terminated) and return 0, or
// return non-zero when there is no password.
using DLLPASSWORD = int(char* buffer, int size, const char* prompt, const char* name);
// Called once for every entry about to be added, with its name and size; a
// non-zero return cancels the archive.
using DLLSERVICE = int(const char* name, unsigned long size);
// Called while the archive is written, at least every kProgressEvery or so and
// after each entry, with the share of the work done (0 to 1), so that the caller's
// window can keep answering during a long archive.
using DLLPROGRESS = void(double done);

inline constexpr std::size_t kCommentBufferSize = 65536;
inline constexpr std::chrono::milliseconds kProgressEvery{25};
inline constexpr int kPasswordBufferSize = 256;

// The callback table, in the order the library has always taken it; progress,
// which comes last, may be left out.
struct ZIPUSERFUNCTIONS {
    DLLPRNT* print = nullptr;
    DLLCOMMENT* comment = nullptr;
    DLLPASSWORD* password = nullptr;
    DLLSERVICE* ServiceApplication = nullptr;
    DLLPROGRESS* progress = nullptr;
};

// ---------------------------------------------------------------------------
// The options record. Flags are 0 or 1 unless said otherwise; a flag that this
// component cannot honour makes ZpArchive refuse with ZE_PARMS.

struct ZPOPT {
    const char* Date = nullptr;       // date limit, "mmddyyyy" or "yyyy-mm-dd"
    const char* szRootDir = nullptr;  // base folder of the archive; empty: current directory
    const char* szTempDir = nullptr;  // temporary folder (unsupported)
    std::int32_t fTemp = 0;           // use szTempDir (unsupported)
    std::int32_t fSuffix = 0;         // include suffixes (unsupported)
    std::int32_t fEncrypt = 0;        // encrypt the entries (AES-256)
    std::int32_t fSystem = 0;         // include system and hidden files
    std::int32_t fVolume = 0;         // include the volume label (unsupported)
    std::int32_t fExtra = 0;          // leave out extra attributes (unsupported)
    std::int32_t fNoDirEntries = 0;   // no entries for folders
    std::int32_t fExcludeDate = 0;    // leave out files modified on or after Date
    std::int32_t fIncludeDate = 0;    // only files modified on or after Date
    std::int32_t fVerbose = 0;        // report oddities through the print callback
    std::int32_t fQuiet = 0;          // no messages at all
    std::int32_t fCRLF_LF = 0;        // translate CR LF to LF (unsupported)
    std::int32_t fLF_CRLF = 0;        // translate LF to CR LF (unsupported)
    std::int32_t fJunkDir = 0;        // store names without folders
    std::int32_t fGrow = 0;           // append to an existing archive
    std::int32_t fForce = 0;          // short (8.3) names (unsupported)
    std::int32_t fMove = 0;           // delete the files once they are archived
    std::int32_t fDeleteEntries = 0;  // delete entries from the archive (unsupported)
    std::int32_t fUpdate = 0;         // add new files, replace entries older than their file
    std::int32_t fFreshen = 0;        // replace entries older than their file, add nothing new
    std::int32_t fJunkSFX = 0;        // remove a self-extractor prefix (unsupported)
    std::int32_t fLatestTime = 0;     // archive time = newest entry (unsupported)
    std::int32_t fComment = 0;        // ask for an archive comment
    std::int32_t fOffsets = 0;        // adjust self-extractor offsets (unsupported)
    std::int32_t fPrivilege = 0;      // store privileges (unsupported)
    std::int32_t fEncryption = 0;     // read only: set to 1 by ZpSetOptions, encryption is supported
    std::int32_t fRecurse = 0;        // 0 none, 1 from the root with the pattern, 2 into given folders
    std::int32_t fRepair = 0;         // repair, 1 or 2 (unsupported)
    char fLevel = 0;                  // "0" (store) to "9"; 0 means the default, "6"
    char padding[3] = {};
};

// The record keeps its 32-bit layout: 128 bytes where text pointers are 32-bit;
// wider pointers widen only the three text fields.
inline constexpr std::size_t kTextFieldWidening = 3 * (sizeof(const char*) - 4);
static_assert(offsetof(ZPOPT, fTemp) == 12 + kTextFieldWidening);
static_assert(offsetof(ZPOPT, fRecurse) == 116 + kTextFieldWidening);
static_assert(offsetof(ZPOPT, fLevel) == 124 + kTextFieldWidening);
static_assert(offsetof(ZPOPT, padding) + sizeof(ZPOPT::padding) == 128 + kTextFieldWidening);
static_assert(sizeof(const char*) != 4 || sizeof(ZPOPT) == 128);

// The file list record: up to 100 entries, each a wildcard pattern
// or a file or folder name, relative to the root folder or absolute path text.
inline constexpr int kMaxFileNames = 100;
struct ZIPNAMES {
    const char* zipnames[kMaxFileNames] = {};
};

// ---------------------------------------------------------------------------
// The calls

// Keeps the callback table for later calls; non-zero when all four are given.
int ZpInit(const ZIPUSERFUNCTIONS* functions);
// Takes a copy of the options for the next archives and marks the record's
// fEncryption. Non-zero on success.
int ZpSetOptions(ZPOPT* options);
// Adds the files matched by the first `count` names or patterns to the archive,
// creating it when it does not exist. Returns one of the ZE_ codes.
int ZpArchive(int count, const char* archive_path, const ZIPNAMES* names);

// Beyond the library's three calls: how many threads compress and encrypt the
// files of the next archives. 0, the default, is one for each processor and at
// least two; 1 does it all on the calling thread while the archive is written.
// The archive is the same either way; tests and measurements compare the two.
void set_compression_threads(int count);

}  // namespace quillet::zip32
