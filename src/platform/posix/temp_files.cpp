// The temporary folder and unique temporary files, as GetTempPath and
// GetTempFileName give them: "PRE" + hexadecimal number + ".tmp".

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/posix/native_paths.h"
#include "text/unicode.h"

namespace quillet::platform {

namespace {

constexpr unsigned kHighestNumber = 0xFFFF;

std::string ending_in_backslash(std::string text) {
    if (text.empty() || text.back() != '\\') text += '\\';
    return text;
}

std::string first_three_characters(std::string_view prefix) {
    std::u32string characters = unicode::decode(prefix);
    if (characters.size() > 3) characters.resize(3);
    return unicode::encode(characters);
}

// Where to start looking for a free number: differs from call to call and from
// process to process, so that callers rarely meet each other's files.
unsigned starting_number() {
    const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    return static_cast<unsigned>((ticks ^ (ticks >> 16) ^ static_cast<unsigned>(::getpid())) % kHighestNumber) + 1;
}

std::string hexadecimal(unsigned number) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%X", number);
    return digits;
}

bool create_exclusively(const std::string& native) {
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    ::close(fd);
    return true;
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
    const std::string name_start = first_three_characters(prefix);
    const unsigned start = starting_number();
    for (unsigned step = 0; step < kHighestNumber; ++step) {
        const unsigned number = (start - 1 + step) % kHighestNumber + 1;
        const std::string name = name_start + hexadecimal(number) + ".tmp";
        if (create_exclusively(*folder + "/" + name)) return ending_in_backslash(std::string(folder_text)) + name;
        if (errno != EEXIST) return {};
    }
    errno = EEXIST;
    return {};
}

}  // namespace quillet::platform
