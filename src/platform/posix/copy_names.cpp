// Creating and naming a copy's file (copy_names.h).

#include "platform/posix/copy_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quillet::platform::posix {

namespace {

constexpr int kNamedFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
constexpr int kUnnamedFlags = O_TMPFILE | O_WRONLY | O_CLOEXEC;

// The file system (or an older kernel) cannot make a file without a name.
bool unnamed_refused(int code) { return code == EOPNOTSUPP || code == EISDIR || code == EINVAL; }

std::string folder_of(const std::string& native) {
    const std::size_t slash = native.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : native.substr(0, slash);
}

// Moves the copy on to its next name, looked up in the folder open for copies.
// False when no name is left (EEXIST: all were taken) or it has no native path.
bool aim_at_next(NewCopy& copy, NameSequence& names) {
    auto next = names.next(copy.unnamed);
    if (!next) {
        errno = EEXIST;
        return false;
    }
    auto native = native_path(next->text);
    if (!native) {
        errno = ENOENT;
        return false;
    }
    copy.name = std::move(*next);
    copy.native = std::move(*native);
    copy.where = in_last_folder(copy.native);
    return true;
}

// The open folder may have been deleted since and another made at its path (a
// deleted folder refuses a new name with ENOENT, a file without one with EPERM).
bool look_up_folder_again(NewCopy& copy) {
    if (copy.where.folder == AT_FDCWD) return false;
    forget_last_folder();
    copy.where = in_last_folder(copy.native);
    return true;
}

// Takes the copy's name and registers it in one step, so that an interruption can
// neither miss the name nor delete one that is someone else's. Negative when the
// name could not be taken (reason in errno).
template <typename Take>
int take_name(NewCopy& copy, Take&& take) {
    int result = -1;
    int reason = 0;
    without_interruption([&] {
        result = take();
        reason = errno;
        if (result >= 0 && !copy.name.final) copy.if_interrupted = RemovedIfInterrupted(copy.name.text);
    });
    errno = reason;
    return result;
}

int open_unnamed(const NewCopy& copy, mode_t permissions) {
    if (copy.where.folder != AT_FDCWD) return ::openat(copy.where.folder, ".", kUnnamedFlags, permissions);
    return ::open(folder_of(copy.native).c_str(), kUnnamedFlags, permissions);
}

int open_named(NewCopy& copy, mode_t permissions) {
    return take_name(copy, [&] { return ::openat(copy.where.folder, copy.where.name, kNamedFlags, permissions); });
}

// Naming the open file itself is the cheaper way; kernels before 6.10 allow it only
// to a privileged process, and the others name it through /proc instead.
int link_open_file(int out, NewCopy& copy) {
    const auto& where = copy.where;
    if (take_name(copy, [&] { return ::linkat(out, "", where.folder, where.name, AT_EMPTY_PATH); }) == 0) return 0;
    if (errno != ENOENT && errno != EPERM) return -1;
    const std::string open_file = "/proc/self/fd/" + std::to_string(out);
    return take_name(copy, [&] {
        return ::linkat(AT_FDCWD, open_file.c_str(), where.folder, where.name, AT_SYMLINK_FOLLOW);
    });
}

}  // namespace

std::optional<NextName> NameSequence::next(bool unnamed) {
    const bool target_first = unnamed && !target_tried_ && !names_.target.empty();
    target_tried_ = true;
    if (target_first) return NextName{std::string(names_.target), true};
    if (!names_.next_temporary) return std::nullopt;
    auto temporary = names_.next_temporary();
    if (!temporary) return std::nullopt;
    return NextName{std::move(*temporary), false};
}

int create_copy(NameSequence& names, mode_t permissions, NewCopy& copy) {
    if (!aim_at_next(copy, names)) return -1;
    int fd = open_unnamed(copy, permissions);
    if (fd < 0 && !unnamed_refused(errno) && look_up_folder_again(copy)) fd = open_unnamed(copy, permissions);
    if (fd >= 0 || !unnamed_refused(errno)) return fd;

    // Named from the start: never with the target's own name.
    copy.unnamed = false;
    if (copy.name.final && !aim_at_next(copy, names)) return -1;
    for (bool folder_looked_up = false;;) {
        fd = open_named(copy, permissions);
        if (fd >= 0) return fd;
        if (errno != EEXIST && !folder_looked_up && look_up_folder_again(copy)) {
            folder_looked_up = true;
            continue;
        }
        if (errno != EEXIST || !aim_at_next(copy, names)) return -1;
    }
}

bool give_name(int out, NameSequence& names, NewCopy& copy) {
    if (!copy.unnamed) return true;
    for (bool folder_looked_up = false;;) {
        if (link_open_file(out, copy) == 0) return true;
        if (errno == ENOENT && !folder_looked_up && look_up_folder_again(copy)) {
            folder_looked_up = true;
            continue;
        }
        if (errno != EEXIST || !aim_at_next(copy, names)) return false;
    }
}

}  // namespace quillet::platform::posix
