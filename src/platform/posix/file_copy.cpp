// Making a file's copy and naming it. The copy is a clone (FICLONE) where the
// file system shares blocks between files, else its bytes are copied
// (copy_content.h). It is written into a file without a name that gets its name
// only once its bytes are complete (copy_names.h), so that a run cut short, even
// by SIGKILL or a power cut, leaves no part of a file behind; where the file
// system cannot make such a file, the copy claims a temporary name first and is
// removed when it fails. Making the copy and naming it are two steps, which may
// run on two threads.

#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <utility>

#include "platform/platform.h"
#include "platform/posix/copy_content.h"
#include "platform/posix/copy_names.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/source_status.h"

namespace quillet::platform {

using posix::Descriptor;
using posix::Failure;
using posix::NameSequence;
using posix::NewCopy;
using posix::SourceStatus;
using posix::create_copy;
using posix::give_name;
using posix::open_source;

namespace {

// The permission bits the process's umask takes from new files, read once; all of
// them when it cannot be read, so that the copy then always sets its bits itself.
mode_t creation_mask() {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("Umask:")) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        }
        return mode_t{0777};
    }();
    return mask;
}

// Large files are read ahead further; small ones gain nothing from the advice.
constexpr std::uint64_t kAdviseFrom = std::uint64_t{1} << 20;

// A file system that keeps no permissions refuses to set them: the copy is whole,
// and only ever narrower than its source. FAT in the kernel says EPERM, and a
// server behind FUSE that will not set them (SFTP) EPERM or EACCES; elsewhere
// these are refusals that must not pass in silence.
bool keeps_no_permissions(int out, int code) {
    constexpr unsigned long kNtfsMagic = 0x7366746e;  // the kernel's ntfs3
    if (code == ENOSYS || code == EOPNOTSUPP) return true;
    struct statfs file_system {};
    if ((code != EPERM && code != EACCES) || ::fstatfs(out, &file_system) != 0) return false;
    const auto type = static_cast<unsigned long>(file_system.f_type);
    if (type == FUSE_SUPER_MAGIC) return true;
    return code == EPERM && (type == MSDOS_SUPER_MAGIC || type == EXFAT_SUPER_MAGIC || type == kNtfsMagic);
}

// The permissions the umask took at the creation, and the times; set through the
// open file, before it is closed, as some network file systems would otherwise
// stamp the last write time again when the closing sends the data.
bool finish_copy(int out, const SourceStatus& source) {
    if ((source.permissions & creation_mask()) != 0 && ::fchmod(out, source.permissions) != 0 &&
        !keeps_no_permissions(out, errno)) {
        return false;
    }
    ::futimens(out, source.access_and_write);
    return true;
}

CopyResult failed_copy(const NewCopy& copy, CopyResult result) {
    const int reason = errno;
    if (!copy.unnamed) ::unlinkat(copy.where.folder, copy.where.name, 0);
    errno = reason;
    return result;
}

// Where the file systems can share blocks between files (btrfs, XFS), the copy
// shares the source's and copies no data. A file system that cannot clone says so
// at once, but once a file is enough: the refusal is remembered for the source's
// device and the copy's folder, which the next files mostly share.
class CloneRefusals {
public:
    bool known(dev_t source, std::string_view folder) const {
        return refused_ && source == source_ && folder == folder_;
    }
    void remember(dev_t source, std::string_view folder) {
        refused_ = true;
        source_ = source;
        folder_ = folder;
    }

private:
    bool refused_ = false;
    dev_t source_ = 0;
    std::string folder_;
};

// The file systems' answers that mean "not here": no clone support, another file
// system, a file the clone cannot take.
bool clone_refused(int code) { return code == EOPNOTSUPP || code == ENOTTY || code == EXDEV || code == EINVAL; }

bool cloned(int in, int out, const SourceStatus& source, const NewCopy& copy) {
    thread_local CloneRefusals refusals;
    const std::string_view folder = std::string_view(copy.native).substr(0, copy.native.rfind('/') + 1);
    if (refusals.known(source.device, folder)) return false;
    if (::ioctl(out, FICLONE, in) == 0) return true;
    if (clone_refused(errno)) {
        refusals.remember(source.device, folder);
    } else if (::ftruncate(out, 0) != 0) {
        return false;  // the ordinary copy then finds out what is wrong
    }
    return false;
}

}  // namespace

// The copy made, open while it has no name.
struct MadeCopy::Host {
    NewCopy copy;
    int out = -1;
    std::uint64_t bytes = 0;
    bool source_changed = false;
    bool target_tried = false;
    // A complete copy under a temporary name that nobody has taken over yet.
    bool owns_temporary = false;

    Host() = default;
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    // Unnamed, it vanishes with its descriptor; a temporary name is removed, by its
    // path: the folder it was looked up in may be closed by now.
    ~Host() {
        if (out >= 0) ::close(out);
        if (owns_temporary) ::unlink(copy.native.c_str());
    }
};

MadeCopy::MadeCopy() = default;
MadeCopy::~MadeCopy() = default;
MadeCopy::MadeCopy(MadeCopy&& other) noexcept = default;
MadeCopy& MadeCopy::operator=(MadeCopy&& other) noexcept = default;

namespace {

// Writes the copy; it keeps its descriptor while it has no name.
CopyResult make_open_file(int in, const CopyNames& names, const CopyProgress& progress, MadeCopy::Host& made) {
    SourceStatus source;
    if (const CopyResult refused = posix::read_status(in, source); refused != CopyResult::copied) return refused;
    if (source.size >= kAdviseFrom) ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);

    NameSequence sequence(names);
    NewCopy& copy = made.copy;
    Descriptor out(create_copy(sequence, source.permissions, copy));
    made.target_tried = sequence.target_tried();
    if (!out.valid()) return errno == EEXIST ? CopyResult::target_exists : CopyResult::failed;
    std::uint64_t copied = 0;
    Failure failure = Failure::none;
    try {
        if (cloned(in, out.get(), source, copy)) {
            copied = source.size;
            if (progress) progress(copied, copied);
        } else {
            failure = posix::copy_content(in, out.get(), source.size, source.holes, progress, copied);
        }
    } catch (...) {
        // A progress routine that throws leaves no part of the copy behind either.
        failed_copy(copy, CopyResult::failed);
        throw;
    }
    CopyResult result = CopyResult::copied;
    if (failure != Failure::none) {
        result = failure == Failure::source ? CopyResult::source_failed : CopyResult::failed;
    } else if (posix::fell_short(in, source, copied)) {
        errno = EIO;
        result = CopyResult::source_failed;
    } else if (!finish_copy(out.get(), source) || (!copy.unnamed && !out.close())) {
        // Closing a named copy may report data that could not be written back after all.
        result = CopyResult::failed;
    }
    if (result != CopyResult::copied) return failed_copy(copy, result);
    made.bytes = copied;
    made.source_changed = posix::changed_since(in, source);
    if (copy.unnamed) {
        made.out = out.release();
    } else {
        made.owns_temporary = true;
    }
    return CopyResult::copied;
}

}  // namespace

CopyResult make_copy(std::string_view source_text, const CopyNames& names, const CopyProgress& progress,
                     MadeCopy& made) {
    made.host_.reset();
    const auto source = native_path(source_text);
    if (!source) {
        errno = ENOENT;
        return CopyResult::source_failed;
    }
    Descriptor in(open_source(*source));
    // A socket cannot be opened at all.
    if (!in.valid()) return errno == ENXIO ? CopyResult::not_regular : CopyResult::source_failed;
    auto host = std::make_unique<MadeCopy::Host>();
    const CopyResult result = make_open_file(in.get(), names, progress, *host);
    if (result == CopyResult::copied) made.host_ = std::move(host);
    return result;
}

CopyResult name_copy(MadeCopy& made, const CopyNames& names, CopyFacts* facts) {
    const std::unique_ptr<MadeCopy::Host> host = std::move(made.host_);
    if (!host) {
        errno = EINVAL;
        return CopyResult::failed;
    }
    NewCopy& copy = host->copy;
    if (copy.unnamed) {
        // The folder as this thread finds it, which may be open already.
        copy.where = posix::in_last_folder(copy.native);
        NameSequence sequence(names, host->target_tried);
        Descriptor out(std::exchange(host->out, -1));
        if (!give_name(out.get(), sequence, copy)) {
            return errno == EEXIST ? CopyResult::target_exists : CopyResult::failed;
        }
        copy.unnamed = false;  // it has a name now, which a failure from here on removes
        // Closing may report data that could not be written back after all.
        if (!out.close()) return failed_copy(copy, CopyResult::failed);
    }
    host->owns_temporary = false;  // in the caller's hands now
    if (facts != nullptr) {
        facts->bytes = host->bytes;
        facts->source_changed = host->source_changed;
        facts->name = std::move(copy.name.text);
        facts->in_place = copy.name.final;
        facts->if_interrupted = std::move(copy.if_interrupted);
    }
    return CopyResult::copied;
}

}  // namespace quillet::platform