// The temporary folder and unique temporary files, as GetTempPath and
// GetTempFileName give them: "PRE" + hexadecimal number + ".tmp"; and temporary
// folders named the same way without the extension. Every name is claimed by
// creating it exclusively, so that nothing that exists is ever taken over.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/platform.h"
#include "platform/posix/native_paths.h"
#include "platform/posix/process_marks.h"
#include "platform/temp_names.h"

namespace quillet::platform {

namespace {

std::string ending_in_backslash(std::string text) {
    if (text.empty() || text.back() != '\\') text += '\\';
    return text;
}

// Where to start looking for a free number: differs from call to call and from
// process to process, so that callers rarely meet each other's files.
unsigned starting_number() {
    const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return static_cast<unsigned>((ticks ^ (ticks >> 16) ^ static_cast<unsigned>(::getpid())) % kHighestTempNumber) + 1;
}

// The claimed name (without a folder), or empty; errno tells why when there is none.
std::string claim_free_name(std::string_view prefix, const std::function<Claim(const std::string& name)>& claim) {
    bool every_name_taken = false;
    std::string name = claim_free_temp_name(first_three_characters(prefix), starting_number(), claim, every_name_taken);
    if (every_name_taken) errno = EEXIST;
    return name;
}

Claim outcome_of_creation(bool created) {
    if (created) return Claim::made;
    return errno == EEXIST ? Claim::taken : Claim::failed;
}

int create_file_exclusively(const std::string& native) {
    return ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

bool create_exclusively(const std::string& native) {
    const int fd = create_file_exclusively(native);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool write_all(int fd, const std::string& text) {
    return ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

// The mark file first, holding the mark before the folder exists, so that a folder
// never stands without its mark; a name whose folder someone else has is given up.
Claim claim_marked_folder(const std::string& native_folder, const std::string& name) {
    const std::string folder = native_folder + "/" + name;
    const std::string mark_file = folder + std::string(kTempExtension);
    // Read before the file is made, so that it stands empty only while one write
    // goes on: a run killed then leaves a mark that says nothing, which no later run
    // takes for abandoned, as an empty mark may be a live run's.
    const std::string mark = posix::current_process_mark();
    const int fd = create_file_exclusively(mark_file);
    if (fd < 0) return outcome_of_creation(false);
    const bool marked = write_all(fd, mark);
    const bool closed = ::close(fd) == 0;
    const Claim claim = marked && closed ? outcome_of_creation(::mkdir(folder.c_str(), 0700) == 0) : Claim::failed;
    if (claim != Claim::made) {
        const int reason = errno;
        ::unlink(mark_file.c_str());
        errno = reason;
    }
    return claim;
}

}  // namespace

std::string temp_folder() {
    const char* configured = std::getenv("TMPDIR");
    const std::string native = (configured != nullptr && *configured != '\0') ? configured : "/tmp";
    const auto text = path_text(native);
    return text ? ending_in_backslash(*text) : std::string();
}

std::string create_temp_file(std::string_view folder_text, std::string_view prefix) {
    const auto folder = posix::native_or_missing(folder_text);
    if (!folder) return {};
    const std::string name = claim_free_name(prefix, [&](const std::string& candidate) {
        return outcome_of_creation(create_exclusively(*folder + "/" + candidate + std::string(kTempExtension)));
    });
    if (name.empty()) return {};
    return ending_in_backslash(std::string(folder_text)) + name + std::string(kTempExtension);
}

std::optional<MarkedFolder> create_marked_temp_folder(std::string_view folder_text, std::string_view prefix) {
    const auto folder = posix::native_or_missing(folder_text);
    if (!folder) return std::nullopt;
    const std::string name =
        claim_free_name(prefix, [&](const std::string& candidate) { return claim_marked_folder(*folder, candidate); });
    if (name.empty()) return std::nullopt;
    const std::string folder_path = ending_in_backslash(std::string(folder_text)) + name;
    return MarkedFolder{folder_path, folder_path + std::string(kTempExtension)};
}

}  // namespace quillet::platform
