#include "zip/archive_staging.h"

#include <zip.h>

#include <mutex>
#include <utility>

#include "zip/zip32.h"
#include "zip/zip_results.h"

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

// Whether the written archive reads back whole: every entry's header where the
// directory says. A file system that loses writes (a FUSE driver that botches a
// rewrite) would otherwise give an archive that no tool opens its name.
bool reads_back_whole(const std::string& native) {
    int error = 0;
    zip_t* archive = zip_open(native.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (archive == nullptr) return false;
    zip_discard(archive);
    return true;
}

}  // namespace

ArchiveStaging::ArchiveStaging(std::string archive_text, std::unique_ptr<WorkFolder> folder)
    : archive_text_(std::move(archive_text)),
      folder_(std::move(folder)),
      staged_text_(folder_->Path() + kStagedName),
      staged_native_(platform::native_path(staged_text_).value_or(std::string())) {}

int ArchiveStaging::prepare(const std::string& archive_text, std::unique_ptr<ArchiveStaging>& staging) {
    auto folder = WorkFolder::Make(folder_of(archive_text), kPrefix);
    if (!folder) return zip_result_of_unmade_folder();
    std::unique_ptr<ArchiveStaging> made(new ArchiveStaging(archive_text, std::move(folder)));
    if (made->staged_native_.empty()) return ZE_TEMP;
    // Only an archive that is not there is none yet: one that cannot be looked at
    // would be written over.
    const auto existing = platform::attributes(archive_text);
    if (!existing && !platform::last_error_means_missing()) return ZE_TEMP;
    if (existing && !existing->directory &&
        platform::copy_file(archive_text, made->staged_text_) != platform::CopyResult::copied) {
        return ZE_TEMP;
    }
    staging = std::move(made);
    return ZE_OK;
}

ArchiveStaging::~ArchiveStaging() {
    if (!folder_->Remove()) keep_as_left(folder_->Left());
}

int ArchiveStaging::put_in_place(std::uint32_t open_to) {
    // Written with entries, as every archive that gets here is: one that is not
    // there, or cannot be looked at, was lost on the way.
    if (!platform::attributes(staged_text_)) return ZE_WRITE;
    if (!reads_back_whole(staged_native_)) return ZE_WRITE;
    platform::narrow_access_to(staged_text_, open_to);
    return platform::replace_file(staged_text_, archive_text_) ? ZE_OK : ZE_CREAT;
}

std::vector<std::string> staging_folders_left() {
    FoldersLeft& left = folders_left();
    const std::lock_guard lock(left.mutex);
    return std::exchange(left.folders, {});
}

}  // namespace quillet::zip32
