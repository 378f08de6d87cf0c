#include "platform/posix/mount_points.h"

#include <fcntl.h>
#include <mntent.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

#include "platform/platform.h"

namespace quillet::platform::posix {

namespace {

// The mount points of a table, in its own format, its escapes ("\040") read,
// without a trailing "/".
std::vector<std::string> mount_points_in(const char* table) {
    std::vector<std::string> points;
    FILE* file = ::setmntent(table, "r");
    if (file == nullptr) return points;
    mntent entry{};
    std::array<char, 4096> buffer{};
    while (::getmntent_r(file, &entry, buffer.data(), static_cast<int>(buffer.size())) != nullptr) {
        std::string point = entry.mnt_dir;
        while (point.size() > 1 && point.ends_with('/')) point.pop_back();
        if (point.starts_with('/') && point != "/") points.push_back(point);
    }
    ::endmntent(file);
    return points;
}

bool lies_below(const std::string& folder, const std::string& point) {
    return folder.starts_with(point) && (folder.size() == point.size() || folder[point.size()] == '/');
}

// Without the table of what is mounted: whether the kernel marks a folder on the
// way from the point down to the folder as the root of a mount. A bind mount of
// the same file system has the same device, so devices cannot tell; a kernel
// without the mark (before Linux 5.8) cannot tell either, and the folder counts
// as there, as the listing will show.
bool mounted_on_the_way(const std::string& folder, const std::string& point) {
    for (std::size_t end = point.size();; end = std::min(folder.find('/', end + 1), folder.size())) {
        struct statx status {};
        const std::string at = folder.substr(0, end);
        // Nothing is mounted on what is not there (a target yet to be made).
        if (::statx(AT_FDCWD, at.c_str(), AT_NO_AUTOMOUNT, 0, &status) != 0) return errno != ENOENT;
        if ((status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) == 0) return true;
        if ((status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0) return true;
        if (end == folder.size()) return false;
    }
}

}  // namespace

// The deepest mount point that holds the folder decides: a file system mounted
// inside an unmounted one is there all the same.
std::optional<std::string> unmounted_mount_point(const std::string& folder, const char* planned_table,
                                                 const char* mounted_table) {
    std::vector<std::string> planned = mount_points_in(planned_table);
    std::erase_if(planned, [&](const std::string& point) { return !lies_below(folder, point); });
    if (planned.empty()) return std::nullopt;
    const auto by_length = [](const std::string& a, const std::string& b) { return a.size() < b.size(); };
    const std::string& deepest_planned = *std::max_element(planned.begin(), planned.end(), by_length);
    std::vector<std::string> mounted = mount_points_in(mounted_table);
    bool there = false;
    if (mounted.empty()) {
        there = mounted_on_the_way(folder, deepest_planned);
    } else {
        std::erase_if(mounted, [&](const std::string& point) { return !lies_below(folder, point); });
        there = std::any_of(mounted.begin(), mounted.end(),
                            [&](const std::string& point) { return point.size() >= deepest_planned.size(); });
    }
    if (there) return std::nullopt;
    return deepest_planned;
}

}  // namespace quillet::platform::posix

namespace quillet::platform {

namespace {

// The folder with every link on the way followed, as far as it is there; the
// rest as it stands (a target is made as needed).
std::optional<std::string> resolved_as_far_as_there(std::string_view folder_text) {
    std::string folder(folder_text);
    while (folder.size() > 1 && folder.ends_with('\\') && !folder.ends_with(":\\")) folder.pop_back();
    std::string rest;  // "\name" for each folder not there
    for (;;) {
        if (auto resolved = resolved_path(folder)) {
            if (resolved->ends_with('\\')) resolved->pop_back();
            return *resolved + rest;
        }
        const auto last = folder.find_last_of('\\');
        if (last == std::string::npos || last + 1 == folder.size()) return std::nullopt;
        rest = folder.substr(last) + rest;
        folder.resize(last == 0 || folder[last - 1] == ':' ? last + 1 : last);  // a root stays one
    }
}

}  // namespace

std::optional<std::string> unmounted_drive_of(std::string_view folder_text) {
    const auto resolved = resolved_as_far_as_there(folder_text);
    const auto native = resolved ? native_path(*resolved) : std::nullopt;
    const auto point = native ? posix::unmounted_mount_point(*native, "/etc/fstab", "/proc/self/mounts") : std::nullopt;
    return point ? path_text(*point) : std::nullopt;
}

}  // namespace quillet::platform
