// Deleting a file or a folder tree: to the user's trash, or for good.
//
// The trash is the freedesktop.org trash (desktop_services.h), standing where the
// recycle bin stood; an item the trash cannot take stays where it is, never
// deleted for good instead. A deletion for good walks the tree through folder
// descriptors opened with O_NOFOLLOW, so a link is removed itself and whatever it
// points to is never touched.

#include "platform/posix/deletion.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/desktop_services.h"
#include "platform/posix/last_folder.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

namespace {

// ---------------------------------------------------------------------------
// For good

// Remembers the first failure's reason while the deletion goes on with the rest.
class Outcome {
public:
    void fail() {
        if (ok_) reason_ = errno;
        ok_ = false;
    }
    bool finish() const {
        if (!ok_) errno = reason_;
        return ok_;
    }

private:
    bool ok_ = true;
    int reason_ = 0;
};

bool is_dot_or_dot_dot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool is_real_folder(int parent, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    struct stat info {};
    return ::fstatat(parent, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

void remove_contents(int folder_fd, Outcome& outcome);

void remove_entry(int parent, const dirent& entry, Outcome& outcome) {
    if (!is_real_folder(parent, entry)) {
        if (::unlinkat(parent, entry.d_name, 0) != 0) outcome.fail();
        return;
    }
    const int folder = ::openat(parent, entry.d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        outcome.fail();
        return;
    }
    remove_contents(folder, outcome);
    if (::unlinkat(parent, entry.d_name, AT_REMOVEDIR) != 0) outcome.fail();
}

// Takes ownership of folder_fd.
void remove_contents(int folder_fd, Outcome& outcome) {
    DIR* folder = ::fdopendir(folder_fd);
    if (folder == nullptr) {
        outcome.fail();
        ::close(folder_fd);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        if (!is_dot_or_dot_dot(entry->d_name)) remove_entry(::dirfd(folder), *entry, outcome);
    }
    ::closedir(folder);
}

}  // namespace

bool move_to_trash(std::string_view path_text) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return false;
    posix::forget_last_folder();
    const posix::DesktopServices* desktop = posix::desktop_services();
    int failure = ELIBACC;
    // The trash writes the item's .trashinfo, then moves the item: an interruption
    // in between would leave the user's trash an entry without an item.
    without_interruption([&] {
        if (desktop != nullptr) failure = desktop->trash(native->c_str());
    });
    if (failure == 0) return true;
    errno = failure;
    return false;
}

bool posix::delete_native_permanently(const std::string& native) {
    struct stat info {};
    if (::lstat(native.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) return ::unlink(native.c_str()) == 0;

    Outcome outcome;
    const int folder = ::open(native.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return false;
    remove_contents(folder, outcome);
    if (::rmdir(native.c_str()) != 0) outcome.fail();
    return outcome.finish();
}

bool delete_permanently(std::string_view path_text) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return false;
    posix::forget_last_folder();
    return posix::delete_native_permanently(*native);
}

}  // namespace quillet::platform
