// Links that another user may have planted where this program writes. With
// fs.protected_symlinks on, Linux refuses to follow a link at the end of a path
// in a world-writable sticky folder (such as /tmp) unless it belongs to the
// follower or the folder's owner. That is not enough for a job that root runs
// into a folder some user owns: her link to /etc would take root's copies there,
// and the old files they replace to the trash. So a link is followed only when it
// belongs to the user who follows it or to root, wherever along the path it
// stands.

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

bool is_foreign_link(const struct stat& link) { return link.st_uid != ::geteuid() && link.st_uid != 0; }

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
        if (is_foreign_link(status)) return true;
        if (++links > kMostLinksFollowed) return false;
        const std::string target = link_target(next);
        if (target.starts_with('/')) resolved.clear();
        const std::deque<std::string> target_parts = components(target);
        rest.insert(rest.begin(), target_parts.begin(), target_parts.end());
    }
    return false;
}

}  // namespace quillet::platform
