#include "files/work_folder.h"

namespace quillet {

namespace {

// Gone already (swept by another run, a mark that Keep took) counts; a file that
// cannot be looked at does not.
bool deleted(const std::string& path) {
    return platform::delete_permanently(path) || (!platform::attributes(path) && platform::last_error_means_missing());
}

}  // namespace

WorkFolder::WorkFolder(platform::MarkedFolder made)
    : folder_(std::move(made.folder)),
      mark_file_(std::move(made.mark_file)),
      mark_if_interrupted_(mark_file_),
      folder_if_interrupted_(folder_) {}

std::unique_ptr<WorkFolder> WorkFolder::Make(const std::string& parent, std::string_view prefix) {
    platform::remove_abandoned_temp_folders(parent, prefix);
    std::unique_ptr<WorkFolder> work;
    // Made and registered in one step: an interruption in between would leave it.
    platform::without_interruption([&] {
        auto made = platform::create_marked_temp_folder(parent, prefix);
        if (made) work.reset(new WorkFolder(std::move(*made)));
    });
    return work;
}

bool WorkFolder::Remove() {
    bool removed = false;
    // Deleted and forgotten in one step: once deleted, its name may be someone else's.
    // Nothing here may ask or show anything while the step holds off an interruption.
    platform::without_interruption([&] {
        removed = deleted(folder_);
        folder_if_interrupted_.forget();
        // A mark stays with what is left of its folder, for a later run to find; one
        // that stays alone is left over all the same (beside a database, in the snapshot).
        left_ = folder_;
        if (!removed) return;
        removed = deleted(mark_file_);
        left_ = removed ? std::string() : mark_file_;
        if (removed) mark_if_interrupted_.forget();
    });
    return removed;
}

bool WorkFolder::Keep() {
    bool unmarked = false;
    platform::without_interruption([&] {
        folder_if_interrupted_.forget();
        unmarked = deleted(mark_file_);
        if (unmarked) mark_if_interrupted_.forget();
    });
    return unmarked;
}

}  // namespace quillet
