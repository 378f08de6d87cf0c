// File attributes and folder access through stat, links followed: a link to a
// folder is a folder.

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

std::optional<Attributes> attributes(std::string_view path_text) {
    const auto status = posix::status_of(path_text);
    if (!status) return std::nullopt;
    return Attributes{.directory = S_ISDIR(status->st_mode)};
}

namespace {

// Changes the permission bits of a folder or regular file the run made, through a
// descriptor opened without following a link (a link put in its place leads
// nowhere) and without waiting on a FIFO put there.
template <typename NewMode>
void change_mode(std::string_view path_text, NewMode new_mode) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return;
    const posix::Descriptor made(::open(native->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!made.valid() || ::fstat(made.get(), &status) != 0) return;
    if (!S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode)) return;
    const mode_t mode = status.st_mode & 07777;
    const mode_t wanted = new_mode(mode);
    if (wanted != mode) ::fchmod(made.get(), wanted);
}

}  // namespace

void narrow_access(std::string_view path_text, std::string_view source_text) {
    if (const auto source = posix::status_of(source_text)) narrow_access_to(path_text, source->st_mode);
}

void narrow_access_to(std::string_view path_text, std::uint32_t permissions) {
    change_mode(path_text, [&](mode_t mode) { return mode & ~((S_IRWXG | S_IRWXO) & ~permissions); });
}

void give_access_of(std::string_view path_text, std::string_view source_text) {
    if (const auto source = posix::status_of(source_text)) {
        change_mode(path_text, [&](mode_t) { return source->st_mode & 0777; });
    }
}

}  // namespace quillet::platform
