// Copying a file with CopyFileExW. Windows makes no file without a name, so a
// copy claims a temporary name first (created new, so that nothing that exists
// is taken over, and registered for removal if the run is interrupted in the
// same step), is written there, and only once its bytes are complete is named as
// its target, by a rename that replaces nothing. A half-made file never carries
// the target's name, and an interruption removes the temporary. Copies made on
// several threads (make_copy) are named on one, in the caller's order (name_copy).

#include <exception>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/file_status.h"
#include "platform/win32/system_paths.h"

namespace quillet::platform {

namespace {

// "An operation is not supported on a directory.", which MinGW's headers lack.
constexpr DWORD kDirectoryNotSupported = 336;

// What the copy needs of its source, read before the copy reads it: a reading
// may move the access time first.
struct SourceFacts {
    std::uint64_t size = 0;
    FILETIME last_access{};
    FILETIME last_write{};
};

// copied when the source is a regular file that can be read, open in `source`
// for its attributes; its times as they stand before anything reads it.
CopyResult open_source(const std::wstring& path, win32::Handle& source, SourceFacts& facts) {
    // A device is never opened: a pipe's or a port's open may wait, or take it from its user.
    if (win32::is_device_path(path)) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return CopyResult::not_regular;
    }
    source = win32::open_followed(path, FILE_READ_ATTRIBUTES);
    if (!source.valid()) return CopyResult::source_failed;
    // The times first: Wine's GetFileType moves the access time.
    const bool have_times = GetFileTime(source.get(), nullptr, &facts.last_access, &facts.last_write);
    if (GetFileType(source.get()) != FILE_TYPE_DISK) return CopyResult::not_regular;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!have_times || !GetFileInformationByHandle(source.get(), &information)) return CopyResult::source_failed;
    if (win32::is_folder(information.dwFileAttributes)) {
        SetLastError(kDirectoryNotSupported);
        return CopyResult::source_failed;
    }
    facts.size = win32::file_size(information.nFileSizeHigh, information.nFileSizeLow);
    // A source that cannot be read is the source's fault, which CopyFileExW's
    // failures would not tell from the copy's.
    if (!win32::open_followed(path, GENERIC_READ).valid()) return CopyResult::source_failed;
    return CopyResult::copied;
}

bool changed_since(HANDLE source, const SourceFacts& before) {
    BY_HANDLE_FILE_INFORMATION now{};
    if (!GetFileInformationByHandle(source, &now)) return false;
    return win32::file_size(now.nFileSizeHigh, now.nFileSizeLow) != before.size ||
           win32::file_time(now.ftLastWriteTime) != win32::file_time(before.last_write);
}

// A copy of a read-only file is read-only too, and DeleteFileW refuses it.
void remove_copy(const std::wstring& path) {
    const DWORD reason = GetLastError();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    SetLastError(reason);
}

// The temporary name the copy is written under.
struct Temporary {
    std::string text;
    std::wstring path;
    RemovedIfInterrupted if_interrupted;
    // Until CopyFileExW has let go of the name.
    NamedWrite writing;
};

enum class Claim { made, taken, failed };

// Creates the name new and registers it in one step, so that an interruption can
// neither miss it nor delete a file that is someone else's.
Claim claim(Temporary& temporary) {
    DWORD reason = 0;
    bool made = false;
    without_interruption([&] {
        const win32::Handle file(
            CreateFileW(temporary.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        reason = GetLastError();
        made = file.valid();
        if (made) {
            temporary.if_interrupted = RemovedIfInterrupted(temporary.text);
            temporary.writing = NamedWrite::begin();
        }
    });
    SetLastError(reason);
    if (made) return Claim::made;
    return reason == ERROR_FILE_EXISTS || reason == ERROR_ALREADY_EXISTS ? Claim::taken : Claim::failed;
}

// The first free temporary name; target_exists when every one is taken.
CopyResult claim_temporary(const CopyNames& names, Temporary& temporary) {
    while (names.next_temporary) {
        auto next = names.next_temporary();
        if (!next) break;
        temporary.text = std::move(*next);
        temporary.path = win32::system_path(temporary.text);
        switch (claim(temporary)) {
            case Claim::made:
                return CopyResult::copied;
            case Claim::taken:
                continue;
            case Claim::failed:
                return CopyResult::failed;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return CopyResult::target_exists;
}

// The caller's progress routine, told from CopyFileExW's own calls on this
// thread. One that throws cancels the copy; the exception waits here for it.
struct Progress {
    const CopyProgress& tell;
    std::exception_ptr thrown;
    std::uint64_t last_told = ~std::uint64_t{0};
    std::uint64_t reached = 0;  // the bytes copied, as the system last said
};

DWORD CALLBACK on_progress(LARGE_INTEGER total, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD,
                           HANDLE, HANDLE, LPVOID data) {
    auto& progress = *static_cast<Progress*>(data);
    progress.reached = static_cast<std::uint64_t>(transferred.QuadPart);
    // The interruption cannot delete the temporary while the copy holds it open.
    if (interruption_started()) return PROGRESS_CANCEL;
    if (!progress.tell) return PROGRESS_CONTINUE;
    try {
        progress.last_told = static_cast<std::uint64_t>(transferred.QuadPart);
        progress.tell(progress.last_told, static_cast<std::uint64_t>(total.QuadPart));
    } catch (...) {
        progress.thrown = std::current_exception();
        return PROGRESS_CANCEL;
    }
    return PROGRESS_CONTINUE;
}

// Failures of reading the source, as CopyFileExW reports them.
bool source_side_failure(DWORD code) {
    switch (code) {
        case ERROR_READ_FAULT:
        case ERROR_CRC:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_LOCK_VIOLATION:
        case ERROR_SHARING_VIOLATION:
        case ERROR_DELETE_PENDING:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_FILE_INVALID:
        case ERROR_NETNAME_DELETED:
            return true;
        default:
            return false;
    }
}

// Other reasons do not tell the side: a disk or a share that fails, or a file in
// the cloud that cannot be fetched, says so on either. The source is read where
// the copy stopped, as far as a piece of the copy goes; where it reads, the copy's
// side failed. Not further: after a full disk, reading the rest of a large source
// would cost more than it tells.
bool source_fails_where_copy_stopped(const std::wstring& source_path, std::uint64_t reached) {
    constexpr DWORD kPiece = 1u << 20;
    constexpr int kPieces = 8;
    const win32::Handle source = win32::open_followed(source_path, GENERIC_READ);
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(reached);
    if (!source.valid() || !SetFilePointerEx(source.get(), at, nullptr, FILE_BEGIN)) return true;
    std::vector<char> buffer(kPiece);
    for (int piece = 0; piece < kPieces; ++piece) {
        DWORD got = 0;
        if (!ReadFile(source.get(), buffer.data(), kPiece, &got, nullptr)) return true;
        if (got < kPiece) return false;  // its end
    }
    return false;
}

// The source's times as they stood before the copy, set on the complete copy
// (CopyFileExW carries its attributes and its last write time, and leaves the
// creation time the copy's own); a copy whose times cannot be set is kept all the
// same. Its size is what was written; empty if it cannot be read.
std::optional<std::uint64_t> finish_copy(const std::wstring& path, const SourceFacts& source) {
    const win32::Handle copy = win32::open_followed(path, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES);
    if (!copy.valid()) return std::nullopt;
    SetFileTime(copy.get(), nullptr, &source.last_access, &source.last_write);
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(copy.get(), &information)) return std::nullopt;
    return win32::file_size(information.nFileSizeHigh, information.nFileSizeLow);
}

// A source that neither shrank nor was written to but gave fewer bytes than its
// size failed to deliver them (a share that lost its server ends its reads early,
// and Wine's copy ends at a failed read as if the file did): so short a copy must
// never take the name. One that changed is reported as changed.
bool fell_short(std::optional<std::uint64_t> written, HANDLE source, const SourceFacts& before) {
    return written && *written < before.size && !changed_since(source, before);
}

enum class Naming { named, taken, failed };

// Names the complete copy as its target when nothing has that name; the
// registration for an interruption goes with the temporary name in the same step.
// failed when its folder is gone (taken away, or its drive), the reason in
// GetLastError; taken otherwise: something has the name, or holds the copy for a
// moment (a virus scanner), and putting it in place from its temporary name tries
// again.
Naming take_target_name(Temporary& temporary, std::string_view target) {
    bool named = false;
    const std::wstring target_path = win32::system_path(target);
    without_interruption([&] {
        named = MoveFileExW(temporary.path.c_str(), target_path.c_str(), 0) != 0;
        if (named) temporary.if_interrupted.forget();
    });
    if (named) return Naming::named;
    const DWORD reason = GetLastError();
    const bool folder_gone = GetFileAttributesW(win32::parent_of(target_path).c_str()) == INVALID_FILE_ATTRIBUTES;
    SetLastError(reason);
    return folder_gone ? Naming::failed : Naming::taken;
}

// Onto the claimed name, which is why COPY_FILE_FAIL_IF_EXISTS is not given: the
// name is this copy's own already.
CopyResult copy_to(const std::wstring& source_path, const SourceFacts& facts, Temporary& temporary,
                   const CopyProgress& progress) {
    Progress told{progress, nullptr};
    BOOL cancel = FALSE;
    const bool copied = CopyFileExW(source_path.c_str(), temporary.path.c_str(), on_progress, &told, &cancel, 0);
    const DWORD reason = GetLastError();
    temporary.writing.end();
    try {
        if (told.thrown) std::rethrow_exception(told.thrown);
        // The whole of it, where the system has not told it.
        if (copied && progress && told.last_told != facts.size) progress(facts.size, facts.size);
    } catch (...) {
        remove_copy(temporary.path);
        temporary.if_interrupted.forget();
        throw;
    }
    if (copied) return CopyResult::copied;
    remove_copy(temporary.path);
    temporary.if_interrupted.forget();
    // A copy the interruption cancelled asks nothing more of its source: it may be slow to answer.
    const bool source_side = reason != ERROR_REQUEST_ABORTED &&
                             (source_side_failure(reason) || source_fails_where_copy_stopped(source_path, told.reached));
    SetLastError(reason);
    return source_side ? CopyResult::source_failed : CopyResult::failed;
}

}  // namespace

// The complete copy under its temporary name, until it is named or dropped.
struct MadeCopy::Host {
    win32::Handle source;
    SourceFacts before;
    Temporary temporary;
    std::uint64_t bytes = 0;
    // A complete copy that nobody has taken over yet.
    bool owns_temporary = false;

    ~Host() {
        if (!owns_temporary) return;
        remove_copy(temporary.path);
        temporary.if_interrupted.forget();
    }
};

MadeCopy::MadeCopy() = default;
MadeCopy::~MadeCopy() = default;
MadeCopy::MadeCopy(MadeCopy&& other) noexcept = default;
MadeCopy& MadeCopy::operator=(MadeCopy&& other) noexcept = default;

CopyResult make_copy(std::string_view source_text, const CopyNames& names, const CopyProgress& progress,
                     MadeCopy& made) {
    made.host_.reset();
    auto host = std::make_unique<MadeCopy::Host>();
    const std::wstring source_path = win32::system_path(source_text);
    const CopyResult opened = open_source(source_path, host->source, host->before);
    if (opened != CopyResult::copied) return opened;
    if (const CopyResult claimed = claim_temporary(names, host->temporary); claimed != CopyResult::copied) {
        return claimed;
    }
    if (const CopyResult copied = copy_to(source_path, host->before, host->temporary, progress);
        copied != CopyResult::copied) {
        return copied;
    }
    host->owns_temporary = true;
    const std::optional<std::uint64_t> written = finish_copy(host->temporary.path, host->before);
    if (fell_short(written, host->source.get(), host->before)) {
        host.reset();  // and the copy with it
        SetLastError(ERROR_READ_FAULT);
        return CopyResult::source_failed;
    }
    host->bytes = written.value_or(host->before.size);
    made.host_ = std::move(host);
    return CopyResult::copied;
}

CopyResult name_copy(MadeCopy& made, const CopyNames& names, CopyFacts* facts) {
    std::unique_ptr<MadeCopy::Host> host = std::move(made.host_);
    if (!host) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return CopyResult::failed;
    }
    const Naming naming = names.target.empty() ? Naming::taken : take_target_name(host->temporary, names.target);
    if (naming == Naming::failed) {
        const DWORD reason = GetLastError();
        host.reset();  // and the copy with it
        SetLastError(reason);
        return CopyResult::failed;
    }
    const bool in_place = naming == Naming::named;
    host->owns_temporary = false;  // in place, or in the caller's hands under its temporary name
    if (facts != nullptr) {
        facts->bytes = host->bytes;
        facts->source_changed = changed_since(host->source.get(), host->before);
        facts->name = in_place ? std::string(names.target) : host->temporary.text;
        facts->in_place = in_place;
        facts->if_interrupted = std::move(host->temporary.if_interrupted);
    }
    return CopyResult::copied;
}

}  // namespace quillet::platform
