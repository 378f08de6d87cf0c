// Folder listings with readdir. The kind of an entry (folder, regular file, or a
// special file such as a FIFO) comes from d_type, so a listing costs one system
// call per block of entries, not one per entry; only entries whose type readdir
// does not tell, and links (a link to a folder lists as a folder), are looked up
// with fstatat, and only when their name matches.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "platform/listing_pattern.h"
#include "platform/platform.h"
#include "platform/posix/last_folder.h"
#include "platform/posix/native_paths.h"
#include "text/wildcard.h"

namespace quillet::platform {

namespace {

bool is_dot_entry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

class PosixFolderListing final : public FolderListing {
public:
    PosixFolderListing(DIR* folder, WildcardPattern pattern) : folder_(folder), pattern_(std::move(pattern)) {}
    ~PosixFolderListing() override { closedir(folder_); }
    PosixFolderListing(const PosixFolderListing&) = delete;
    PosixFolderListing& operator=(const PosixFolderListing&) = delete;

    bool next(DirectoryEntry& entry) override {
        // "." and ".." come first, as find-first gives them, whatever order readdir
        // would have put them in.
        while (dots_delivered_ < 2) {
            const char* dot_name = dots_delivered_++ == 0 ? "." : "..";
            if (pattern_.matches(dot_name)) {
                entry.name = dot_name;
                entry.directory = true;
                entry.link = false;
                entry.special = false;
                return true;
            }
        }
        for (;;) {
            // The end and a failure both give null; only a failure sets errno.
            errno = 0;
            const dirent* found = readdir(folder_);
            if (found == nullptr) {
                if (errno != 0) fail();
                return false;
            }
            if (is_dot_entry(found->d_name) || !pattern_.matches(found->d_name)) continue;
            entry.name = found->d_name;
            describe(*found, entry);
            return true;
        }
    }

private:
    // The kind comes from d_type where it is told and no link is involved, so that
    // a regular file or a folder costs no call of its own.
    void describe(const dirent& found, DirectoryEntry& entry) const {
        entry.link = found.d_type == DT_LNK;
        entry.directory = found.d_type == DT_DIR;
        entry.special = is_special(found.d_type);
        if (found.d_type != DT_UNKNOWN && found.d_type != DT_LNK) return;
        struct stat status {};
        const int saved_errno = errno;
        if (found.d_type == DT_UNKNOWN && fstatat(dirfd(folder_), found.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.link = S_ISLNK(status.st_mode);
            take_kind(status, entry);
        }
        if (entry.link && fstatat(dirfd(folder_), found.d_name, &status, 0) == 0) take_kind(status, entry);
        errno = saved_errno;  // a dangling link is a file; the listing goes on
    }

    static bool is_special(unsigned char type) {
        return type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK;
    }

    static void take_kind(const struct stat& status, DirectoryEntry& entry) {
        entry.directory = S_ISDIR(status.st_mode);
        entry.special = !S_ISDIR(status.st_mode) && !S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode);
    }

    DIR* folder_;
    WildcardPattern pattern_;
    posix::WalkUnderway walking_;
    int dots_delivered_ = 0;
};

}  // namespace

std::unique_ptr<FolderListing> list_folder(std::string_view folder_text, std::string_view pattern) {
    const auto native = posix::native_or_missing(folder_text);
    if (!native) return nullptr;
    WildcardPattern matcher = listing_pattern(pattern);
    DIR* folder = opendir(native->empty() ? "." : native->c_str());
    if (folder == nullptr) return nullptr;
    // A folder that may be read but not entered gives its names, yet none of them
    // can be opened: it cannot be listed in any sense that counts.
    if (faccessat(dirfd(folder), ".", X_OK, AT_EACCESS) != 0) {
        const int reason = errno;
        closedir(folder);
        errno = reason;
        return nullptr;
    }
    return std::make_unique<PosixFolderListing>(folder, std::move(matcher));
}

Unnameable unnameable(std::string_view name) {
    return name.find('\\') != std::string_view::npos ? Unnameable::backslash : Unnameable::no;
}

}  // namespace quillet::platform
