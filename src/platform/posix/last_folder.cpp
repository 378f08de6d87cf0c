#include "platform/posix/last_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <string_view>

namespace quillet::platform::posix {

namespace {

class OpenFolder {
public:
    OpenFolder() = default;
    ~OpenFolder() { close(); }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    bool holds(std::string_view folder) const { return fd_ >= 0 && folder == path_; }
    int fd() const { return fd_; }

    bool open(std::string_view folder) {
        close();
        path_.assign(folder);
        // O_PATH: the folder is only looked through; its permissions are still
        // checked on every name found in it.
        fd_ = ::open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        return fd_ >= 0;
    }

    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
    std::string path_;
};

thread_local OpenFolder last_folder;
// Over all threads: the threads that make copies for a walk keep their folders too.
std::atomic<int> walks_underway = 0;

struct Split {
    std::string_view folder;
    const char* name;
};

// Nothing for a relative path, whose folder changes with the working folder, or
// for one without a last component to look up.
std::optional<Split> split(const std::string& native) {
    const std::size_t slash = native.rfind('/');
    if (!native.starts_with('/') || slash + 1 == native.size()) return std::nullopt;
    const std::string_view folder = slash == 0 ? std::string_view("/") : std::string_view(native).substr(0, slash);
    return Split{folder, native.c_str() + slash + 1};
}

}  // namespace

FolderRelative in_last_folder(const std::string& native) {
    const auto parts = split(native);
    if (!parts || walks_underway == 0) return {AT_FDCWD, native.c_str()};
    if (!last_folder.holds(parts->folder) && !last_folder.open(parts->folder)) {
        // Fails (or succeeds) the usual way, with the usual reason.
        return {AT_FDCWD, native.c_str()};
    }
    return {last_folder.fd(), parts->name};
}

std::optional<FolderRelative> in_open_folder(const std::string& native) {
    const auto parts = split(native);
    if (!parts || !last_folder.holds(parts->folder)) return std::nullopt;
    return FolderRelative{last_folder.fd(), parts->name};
}

void forget_last_folder() { last_folder.close(); }

WalkUnderway::WalkUnderway() { ++walks_underway; }

WalkUnderway::~WalkUnderway() {
    if (--walks_underway == 0) forget_last_folder();
}

}  // namespace quillet::platform::posix
