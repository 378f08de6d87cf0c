// MkDir, Kill and Name: they fail with the language's run-time errors.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/platform.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/last_folder.h"
#include "platform/posix/language_errors.h"
#include "platform/posix/native_paths.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

std::string native_or_raise(std::string_view path_text, std::int32_t when_missing) {
    auto native = native_path(path_text);
    if (!native) throw vb::error(when_missing);
    return *native;
}

using posix::FolderRelative;

bool same_file(FolderRelative a, FolderRelative b) {
    struct stat first {}, second {};
    return ::fstatat(a.folder, a.name, &first, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(b.folder, b.name, &second, AT_SYMLINK_NOFOLLOW) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

bool rename_replacing(FolderRelative from, FolderRelative to) {
    return ::renameat(from.folder, from.name, to.folder, to.name) == 0;
}

// rename() would silently replace an existing target; Name never does.
bool rename_without_replacing(FolderRelative from, FolderRelative to) {
    if (::renameat2(from.folder, from.name, to.folder, to.name, RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST && same_file(from, to)) return rename_replacing(from, to);
    if (errno != EINVAL && errno != ENOSYS) return false;
    // The file system cannot refuse for us: look first.
    struct stat existing {};
    if (::fstatat(to.folder, to.name, &existing, AT_SYMLINK_NOFOLLOW) == 0 && !same_file(from, to)) {
        errno = EEXIST;
        return false;
    }
    return rename_replacing(from, to);
}

// Two names in the folder that copies write into are renamed through it, which
// leaves that folder what it was. Any other rename may move it, or a folder above it.
bool rename_natives(const std::string& from, const std::string& to) {
    const auto from_in_folder = posix::in_open_folder(from);
    const auto to_in_folder = posix::in_open_folder(to);
    if (from_in_folder && to_in_folder) {
        if (rename_without_replacing(*from_in_folder, *to_in_folder)) return true;
        // Else the folder may have been deleted since: ask again by the paths.
        if (errno != ENOENT) return false;
    }
    posix::forget_last_folder();
    return rename_without_replacing({AT_FDCWD, from.c_str()}, {AT_FDCWD, to.c_str()});
}

}  // namespace

void make_folder(std::string_view path_text, FolderAccess access) {
    const std::string native = native_or_raise(path_text, vb::kPathNotFound);
    const mode_t mode = access == FolderAccess::owner_only ? 0700 : 0777;
    int made = -1;
    // Once an interruption has begun this waits for the end: a folder that its
    // clean-up has just deleted is not made again under it.
    without_interruption([&] { made = ::mkdir(native.c_str(), mode); });
    if (made == 0) return;
    if (errno == EEXIST) throw vb::error(vb::kPathFileAccessError);
    throw posix::language_error(errno, vb::kPathNotFound);
}

void remove_file(std::string_view path_text) {
    const std::string native = native_or_raise(path_text, vb::kFileNotFound);
    struct stat info {};
    if (::lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) throw vb::error(vb::kFileNotFound);
    if (::unlink(native.c_str()) != 0) throw posix::language_error(errno, vb::kFileNotFound);
}

void rename_file(std::string_view from_text, std::string_view to_text) {
    const std::string from = native_or_raise(from_text, vb::kFileNotFound);
    const std::string to = native_or_raise(to_text, vb::kPathNotFound);
    if (rename_natives(from, to)) return;
    const int reason = errno;
    // A missing name is the file itself unless the file is there: then it is the
    // folder it was to go to.
    struct stat source {};
    const bool source_exists = ::lstat(from.c_str(), &source) == 0;
    throw posix::language_error(reason, source_exists ? vb::kPathNotFound : vb::kFileNotFound);
}

namespace {

// Some file systems write a name to the disk before the data written under it.
bool data_on_disk(const std::string& native) {
    const posix::Descriptor file(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
    return file.valid() && ::fdatasync(file.get()) == 0;
}

}  // namespace

bool replace_file(std::string_view from_text, std::string_view to_text) {
    const auto from = posix::native_or_missing(from_text);
    const auto to = posix::native_or_missing(to_text);
    if (!from || !to || !data_on_disk(*from)) return false;
    posix::forget_last_folder();
    return ::rename(from->c_str(), to->c_str()) == 0;
}

}  // namespace quillet::platform
