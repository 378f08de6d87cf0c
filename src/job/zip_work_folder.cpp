#include "job/zip_work_folder.h"

#include "text/error.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

constexpr const char* kPrefix = "qtk";

}  // namespace

ZipWorkFolder::ZipWorkFolder(platform::MarkedFolder made)
    : folder_(std::move(made.folder)),
      mark_file_(std::move(made.mark_file)),
      mark_if_interrupted_(mark_file_),
      folder_if_interrupted_(folder_) {}

std::shared_ptr<ZipWorkFolder> ZipWorkFolder::Make() {
    const std::string temp_folder = platform::temp_folder();
    if (!temp_folder.empty()) platform::remove_abandoned_temp_folders(temp_folder, kPrefix);
    std::shared_ptr<ZipWorkFolder> work;
    // Made and registered in one step: an interruption in between would leave it.
    platform::without_interruption([&] {
        auto made = temp_folder.empty() ? std::nullopt : platform::create_marked_temp_folder(temp_folder, kPrefix);
        if (made) work.reset(new ZipWorkFolder(std::move(*made)));
    });
    if (!work) {
        // Without a work folder the files would land in the current directory.
        throw Error(vb::kPathNotFound, "HandleCommandLineS",
                    "Path not found\r\nNo work folder for /Z could be made in the temporary folder");
    }
    return work;
}

bool ZipWorkFolder::Remove() {
    bool removed = false;
    // Deleted and forgotten in one step: once deleted, its name may be someone else's.
    // Nothing here may ask or show anything while the step holds off an interruption.
    platform::without_interruption([&] {
        removed = platform::delete_permanently(folder_) || !platform::attributes(folder_);
        folder_if_interrupted_.forget();
        // A mark stays with what is left of its folder, for a later run to find.
        if (removed && platform::delete_permanently(mark_file_)) mark_if_interrupted_.forget();
    });
    return removed;
}

}  // namespace quillet
