// Work folders that a run left behind when it was killed outright (SIGKILL, a
// power cut): a later run of the same user deletes those whose mark names a
// process that no longer lives. Everything is looked at without following links,
// and what is not plainly this user's marked folder is left alone.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/native_paths.h"
#include "platform/posix/deletion.h"
#include "platform/posix/process_marks.h"
#include "platform/temp_names.h"

namespace quillet::platform {

namespace {

// A mark is one short line; anything longer is not one.
constexpr std::size_t kLongestMark = 256;

std::vector<std::string> mark_file_names(const std::string& folder, const std::string& name_start) {
    std::vector<std::string> names;
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return names;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (!name.ends_with(kTempExtension)) continue;
        if (is_temp_name(name.substr(0, name.size() - kTempExtension.size()), name_start)) {
            names.emplace_back(name);
        }
    }
    ::closedir(listing);
    return names;
}

bool owned_by_this_user(const struct stat& info) { return info.st_uid == ::geteuid(); }

// The mark file's text, when it is this user's own regular file of a mark's size.
std::optional<std::string> own_mark(const std::string& mark_file) {
    const posix::Descriptor file(::open(mark_file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || !owned_by_this_user(info) ||
        static_cast<std::size_t>(info.st_size) > kLongestMark) {
        return std::nullopt;
    }
    std::string text(kLongestMark, '\0');
    const ssize_t got = ::read(file.get(), text.data(), text.size());
    if (got <= 0) return std::nullopt;
    text.resize(static_cast<std::size_t>(got));
    return text;
}

// The folder that goes with a mark: missing (its run died before making it) or this
// user's real folder. Anything else there keeps its mark too.
enum class MarkedEntry { missing, own_folder, something_else };

MarkedEntry marked_entry(const std::string& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return MarkedEntry::missing;
    return S_ISDIR(info.st_mode) && owned_by_this_user(info) ? MarkedEntry::own_folder : MarkedEntry::something_else;
}

// The folder first: a mark without its folder is still found by the next run.
void remove_if_abandoned(const std::string& folder_native, const std::string& mark_name) {
    const std::string mark_file = folder_native + "/" + mark_name;
    const auto mark = own_mark(mark_file);
    if (!mark || posix::marked_process(*mark) != posix::MarkedProcess::gone) return;
    const std::string folder = mark_file.substr(0, mark_file.size() - kTempExtension.size());
    switch (marked_entry(folder)) {
        case MarkedEntry::something_else:
            return;
        case MarkedEntry::own_folder:
            if (!posix::delete_native_permanently(folder)) return;
            break;
        case MarkedEntry::missing:
            break;
    }
    ::unlink(mark_file.c_str());
}

}  // namespace

void remove_abandoned_temp_folders(std::string_view folder_text, std::string_view prefix) {
    const auto folder = posix::native_or_missing(folder_text);
    if (!folder) return;
    for (const std::string& mark_name : mark_file_names(*folder, first_three_characters(prefix))) {
        remove_if_abandoned(*folder, mark_name);
    }
}

}  // namespace quillet::platform
