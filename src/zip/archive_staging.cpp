#include "zip/archive_staging.h"

#include <cerrno>
#include <mutex>
#include <utility>

#include "zip/zip32.h"

namespace quillet::zip32 {

namespace {

// Not the zip work folders' prefix: each kind is swept only where it is made.
constexpr const char* kPrefix = "qzs";
constexpr const char* kStagedName = "\\archive.zip";

// The folder part of path text; the current folder for a bare name.
std::string folder_of(const std::string& path_text) {
    const std::size_t last = path_text.rfind('\\');
    if (last == std::string::npos) return ".";
    return path_text.substr(0, last == 0 || path_text[last - 1] == ':' ? last + 1 : last);
}

struct FoldersLeft {
    std::mutex mutex;
    std::vector<std::string> folders;
};

FoldersLeft& folders_left() {
    static FoldersLeft instance;
    return instance;
}

void keep_as_left(const std::string& folder_text) {
    FoldersLeft& left = folders_left();
    const std::lock_guard lock(left.mutex);
    left.folders.push_back(folder_text);
}

}  // namespace

ArchiveStaging::ArchiveStaging(std::string archive_text, platform::MarkedFolder made)
    : archive_text_(std::move(archive_text)),
      folder_text_(std::move(made.folder)),
      mark_file_(std::move(made.mark_file)),
      staged_text_(folder_text_ + kStagedName),
      staged_native_(platform::native_path(staged_text_).value_or(std::string())),
      mark_if_interrupted_(mark_file_),
      folder_if_interrupted_(folder_text_) {}

int ArchiveStaging::prepare(const std::string& archive_text, std::unique_ptr<ArchiveStaging>& staging) {
    const std::string folder = folder_of(archive_text);
    platform::remove_abandoned_temp_folders(folder, kPrefix);
    std::unique_ptr<ArchiveStaging> made;
    // Made and registered in one step: an interruption in between would leave it.
    platform::without_interruption([&] {
        auto marked = platform::create_marked_temp_folder(folder, kPrefix);
        if (marked) made.reset(new ArchiveStaging(archive_text, std::move(*marked)));
    });
    if (!made) return platform::last_error() == ENOENT ? ZE_CREAT : ZE_TEMP;
    if (made->staged_native_.empty()) return ZE_TEMP;
    const auto existing = platform::attributes(archive_text);
    if (existing && !existing->directory &&
        platform::copy_file(archive_text, made->staged_text_) != platform::CopyResult::copied) {
        return ZE_TEMP;
    }
    staging = std::move(made);
    return ZE_OK;
}

ArchiveStaging::~ArchiveStaging() {
    bool removed = false;
    // Deleted and forgotten in one step: once deleted, its name may be someone else's.
    platform::without_interruption([&] {
        removed = platform::delete_permanently(folder_text_) || !platform::attributes(folder_text_);
        folder_if_interrupted_.forget();
        // A mark stays with what is left of its folder, for a later run to find.
        if (removed && platform::delete_permanently(mark_file_)) mark_if_interrupted_.forget();
    });
    if (!removed) keep_as_left(folder_text_);
}

int ArchiveStaging::put_in_place() {
    // An archive left without entries is not written at all.
    if (!platform::attributes(staged_text_)) return ZE_OK;
    return platform::replace_file(staged_text_, archive_text_) ? ZE_OK : ZE_CREAT;
}

std::vector<std::string> staging_folders_left() {
    FoldersLeft& left = folders_left();
    const std::lock_guard lock(left.mutex);
    return std::exchange(left.folders, {});
}

}  // namespace quillet::zip32
