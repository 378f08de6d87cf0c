// Links that another user may have planted in a shared folder such as /tmp. With
// fs.protected_symlinks on, Linux refuses to follow such a link at the end of a
// path; the program keeps the rule itself, for every link along the path and
// whether or not the kernel keeps it: a link in a world-writable folder with the
// sticky bit is followed only when it belongs to the user who follows it or to
// the folder's owner.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/platform.h"

namespace quillet::platform {

namespace {

// Resolution gives up on as many links as the system does.
constexpr int kMostLinksFollowed = 40;

std::deque<std::string> components(const std::string& path) {
    std::deque<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string absolute(const std::string& native) {
    if (native.starts_with('/')) return native;
    std::error_code error;
    return std::filesystem::current_path(error).string() + "/" + native;
}

bool is_shared_sticky_folder(const struct stat& folder) {
    return (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
}

bool is_foreign_link(const struct stat& link, const std::string& folder) {
    struct stat folder_status {};
    if (::stat(folder.empty() ? "/" : folder.c_str(), &folder_status) != 0) return false;
    return is_shared_sticky_folder(folder_status) && link.st_uid != ::geteuid() && link.st_uid != folder_status.st_uid;
}

std::string link_target(const std::string& link) {
    std::error_code error;
    return std::filesystem::read_symlink(link, error).string();
}

}  // namespace

bool passes_foreign_link(std::string_view path_text) {
    const auto native = native_path(path_text);
    if (!native) return false;
    std::deque<std::string> rest = components(absolute(*native));
    std::string resolved;  // a path without links; empty for the root
    int links = 0;
    while (!rest.empty()) {
        const std::string part = std::move(rest.front());
        rest.pop_front();
        if (part == ".") continue;
        if (part == "..") {
            resolved.erase(std::min(resolved.rfind('/'), resolved.size()));
            continue;
        }
        const std::string next = resolved + "/" + part;
        struct stat status {};
        // Nothing more exists: there is no link further on to follow.
        if (::lstat(next.c_str(), &status) != 0) return false;
        if (!S_ISLNK(status.st_mode)) {
            resolved = next;
            continue;
        }
        if (is_foreign_link(status, resolved)) return true;
        if (++links > kMostLinksFollowed) return false;
        const std::string target = link_target(next);
        if (target.starts_with('/')) resolved.clear();
        const std::deque<std::string> target_parts = components(target);
        rest.insert(rest.begin(), target_parts.begin(), target_parts.end());
    }
    return false;
}

}  // namespace quillet::platform
