#include "zip/lib_basZip.h"

#include <algorithm>
#include <cstring>

#include "zip/secret_text.h"

namespace quillet::lib_basZip {

namespace {

constexpr std::int32_t kArchiverMissing = 99;

// Module storage: the callback table the archiver holds on to, and what
// lib_ZipFiles leaves for the callbacks of the archive it is making: the password,
// whether the archiver's messages are wanted, and whom to ask. Outside a run there
// is no one to ask, and a question is answered as Cancel.
zip32::ZIPUSERFUNCTIONS callback_table;
zip32::SecretText zip_password;
bool show_library_messages = false;
UserSide* run_user = nullptr;

bool is_level(char level) { return level >= '0' && level <= '9'; }

// The bytes of a text that fit in `room` bytes without cutting a character.
std::size_t fitting_length(const std::string& text, std::size_t room) {
    std::size_t length = std::min(text.size(), room);
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    while (length > 0 && length < text.size() && continuation(text[length])) --length;
    return length;
}

// Sets the module storage for one archive, and forgets the password and the user
// when it is done, whichever way it ends.
class RunScope {
public:
    RunScope(UserSide& user, const std::string& password, bool show_messages) {
        run_user = &user;
        zip_password.assign(password);
        show_library_messages = show_messages;
    }
    ~RunScope() {
        zip_password.clear();
        run_user = nullptr;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;
};

std::string ask(const std::string& prompt, bool secret) {
    return run_user == nullptr ? std::string() : run_user->ask(prompt, secret);
}

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

std::int32_t lib_ZipFiles(UserSide& user, zip32::ZPOPT& options, const std::string& zip_path,
                          const zip32::ZIPNAMES& names, std::int32_t count, const std::string& password,
                          bool show_messages) {
    if (!lib_ZipInit()) return kArchiverMissing;
    const RunScope run(user, password, show_messages);
    if (!password.empty() && options.fEncrypt == 0) options.fEncrypt = 1;
    if (options.fLevel != 0) {
        if (!is_level(options.fLevel)) return zip32::ZE_PARMS;
    } else {
        options.fLevel = '5';
    }
    lib_ZipInit();
    zip32::ZpSetOptions(&options);
    return zip32::ZpArchive(count, zip_path.c_str(), &names);
}

int lib_ZipPrintCallback(char* /*message*/, unsigned long /*length*/) {
    // The archiver's messages are not shown; while it talks, and only when the
    // caller asked for its messages, the window is kept alive.
    try {
        if (show_library_messages && run_user != nullptr) run_user->do_events();
    } catch (...) {
    }
    return 0;
}

void lib_ZipProgressCallback(double /*done*/) {
    try {
        if (run_user != nullptr) run_user->do_events();
    } catch (...) {
    }
}

// Every file may go in: the archive is never cancelled from here.
int lib_ZipServiceCallback(const char* /*name*/, unsigned long /*size*/) { return 0; }

int lib_ZipPasswordCallback(char* buffer, int size, const char* /*prompt*/, const char* /*name*/) {
    try {
        if (zip_password.empty()) {
            std::string typed = ask("Please Enter The Password!", true);
            zip_password.assign(typed);
            zip32::wipe_bytes(typed.data(), typed.size());
        }
        if (zip_password.empty()) return 1;
        if (buffer == nullptr || size <= 0) return 1;
        const std::string& password = zip_password.text();
        // A password cut short would encrypt with one the user never gave.
        if (password.size() > static_cast<std::size_t>(size) - 1) {
            const std::string refusal = "The password is longer than " + std::to_string(size - 1) + " bytes";
            if (run_user != nullptr) run_user->error_box(refusal, 0);
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
        const std::string answer = ask("Enter the comment", false);
        if (answer.empty() || comment == nullptr) return 0;
        const std::size_t length = fitting_length(answer, zip32::kCommentBufferSize - 1);
        std::memcpy(comment, answer.data(), length);
        comment[length] = '\0';
    } catch (...) {
    }
    return 0;
}

}  // namespace quillet::lib_basZip
