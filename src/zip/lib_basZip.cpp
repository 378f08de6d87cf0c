#include "zip/lib_basZip.h"

#include <algorithm>
#include <cstring>

#include "ui/front_end.h"
#include "ui/input_box.h"
#include "ui/msgbox.h"
#include "ui/version.h"
#include "zip/secret_text.h"

namespace quillet::lib_basZip {

namespace {

constexpr std::int32_t kArchiverMissing = 99;

// Module storage: the callback table the archiver holds on to, and what
// lib_ZipFiles leaves for the callbacks of the archive it is making.
zip32::ZIPUSERFUNCTIONS callback_table;
zip32::SecretText zip_password;
bool show_library_messages = false;

// The archiver's own record for the program's, pointing into its texts.
zip32::ZPOPT to_archiver(const ZPOPT& options) {
    zip32::ZPOPT record;
    record.Date = options.Date.c_str();
    record.szRootDir = options.szRootDir.c_str();
    record.szTempDir = options.szTempDir.c_str();
    record.fTemp = options.fTemp;
    record.fSuffix = options.fSuffix;
    record.fEncrypt = options.fEncrypt;
    record.fSystem = options.fSystem;
    record.fVolume = options.fVolume;
    record.fExtra = options.fExtra;
    record.fNoDirEntries = options.fNoDirEntries;
    record.fExcludeDate = options.fExcludeDate;
    record.fIncludeDate = options.fIncludeDate;
    record.fVerbose = options.fVerbose;
    record.fQuiet = options.fQuiet;
    record.fCRLF_LF = options.fCRLF_LF;
    record.fLF_CRLF = options.fLF_CRLF;
    record.fJunkDir = options.fJunkDir;
    record.fGrow = options.fGrow;
    record.fForce = options.fForce;
    record.fMove = options.fMove;
    record.fDeleteEntries = options.fDeleteEntries;
    record.fUpdate = options.fUpdate;
    record.fFreshen = options.fFreshen;
    record.fJunkSFX = options.fJunkSFX;
    record.fLatestTime = options.fLatestTime;
    record.fComment = options.fComment;
    record.fOffsets = options.fOffsets;
    record.fPrivilege = options.fPrivilege;
    record.fEncryption = options.fEncryption;
    record.fRecurse = options.fRecurse;
    record.fRepair = options.fRepair;
    record.fLevel = options.fLevel;
    return record;
}

// What the archiver may have changed in its record goes back to the program's.
void from_archiver(const zip32::ZPOPT& record, ZPOPT& options) {
    options.fEncrypt = record.fEncrypt;
    options.fEncryption = record.fEncryption;
    options.fLevel = record.fLevel;
}

zip32::ZIPNAMES to_archiver(const ZIPnames& names) {
    zip32::ZIPNAMES record;
    for (std::size_t i = 0; i < names.s.size(); ++i) record.zipnames[i] = names.s[i].c_str();
    return record;
}

bool is_level(char level) { return level >= '0' && level <= '9'; }

// The bytes of a text that fit in `room` bytes without cutting a character.
std::size_t fitting_length(const std::string& text, std::size_t room) {
    std::size_t length = std::min(text.size(), room);
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    while (length > 0 && length < text.size() && continuation(text[length])) --length;
    return length;
}

// Forgets the password when the archive is done, whichever way it ends.
class PasswordScope {
public:
    explicit PasswordScope(const std::string& password) { zip_password.assign(password); }
    ~PasswordScope() { zip_password.clear(); }
    PasswordScope(const PasswordScope&) = delete;
    PasswordScope& operator=(const PasswordScope&) = delete;
};

}  // namespace

bool lib_ZipInit() {
    try {
        callback_table.print = lib_FnPtr(&lib_ZipPrintCallback);
        callback_table.comment = lib_FnPtr(&lib_ZipCommentCallback);
        callback_table.password = lib_FnPtr(&lib_ZipPasswordCallback);
        callback_table.ServiceApplication = lib_FnPtr(&lib_ZipServiceCallback);
        callback_table.progress = lib_FnPtr(&lib_ZipProgressCallback);
        return zip32::ZpInit(&callback_table) != 0;
    } catch (...) {
        return false;
    }
}

std::int32_t lib_ZipFiles(ZPOPT& options, const std::string& zip_path, ZIPnames& names, std::int32_t count,
                          const std::string& password, bool show_messages) {
    if (!lib_ZipInit()) return kArchiverMissing;
    show_library_messages = show_messages;
    const PasswordScope stored_password(password);
    if (!password.empty() && options.fEncrypt == 0) options.fEncrypt = 1;
    if (options.fLevel != 0) {
        if (!is_level(options.fLevel)) return zip32::ZE_PARMS;
    } else {
        options.fLevel = '5';
    }
    lib_ZipInit();
    zip32::ZPOPT record = to_archiver(options);
    zip32::ZpSetOptions(&record);
    const zip32::ZIPNAMES file_list = to_archiver(names);
    const int result = zip32::ZpArchive(count, zip_path.c_str(), &file_list);
    from_archiver(record, options);
    return result;
}

int lib_ZipPrintCallback(char* /*message*/, unsigned long /*length*/) {
    // The archiver's messages are not shown; while it talks, and only when the
    // caller asked for its messages, the window is kept alive.
    try {
        if (show_library_messages) front_end().do_events();
    } catch (...) {
    }
    return 0;
}

void lib_ZipProgressCallback(double /*done*/) {
    try {
        DoEvents();
    } catch (...) {
    }
}

// Every file may go in: the archive is never cancelled from here.
int lib_ZipServiceCallback(const char* /*name*/, unsigned long /*size*/) { return 0; }

int lib_ZipPasswordCallback(char* buffer, int size, const char* /*prompt*/, const char* /*name*/) {
    try {
        if (zip_password.empty()) {
            std::string typed = InputBox("Please Enter The Password!", kProgramTitle, "", true);
            zip_password.assign(typed);
            zip32::wipe_bytes(typed.data(), typed.size());
        }
        if (zip_password.empty()) return 1;
        if (buffer == nullptr || size <= 0) return 1;
        const std::string& password = zip_password.text();
        // A password cut short would encrypt with one the user never gave.
        if (password.size() > static_cast<std::size_t>(size) - 1) {
            lib_MsgBoxError("The password is longer than " + std::to_string(size - 1) + " bytes");
            return 1;
        }
        std::memset(buffer, 0, static_cast<std::size_t>(size));
        std::memcpy(buffer, password.data(), password.size());
        return 0;
    } catch (...) {
        return 1;
    }
}

int lib_ZipCommentCallback(char* comment) {
    try {
        const std::string answer = InputBox("Enter the comment", kProgramTitle);
        if (answer.empty() || comment == nullptr) return 0;
        const std::size_t length = fitting_length(answer, zip32::kCommentBufferSize - 1);
        std::memcpy(comment, answer.data(), length);
        comment[length] = '\0';
    } catch (...) {
    }
    return 0;
}

}  // namespace quillet::lib_basZip
