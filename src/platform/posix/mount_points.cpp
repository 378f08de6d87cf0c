#include "platform/posix/mount_points.h"

#include <limits.h>
#include <mntent.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
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

}  // namespace

bool on_unmounted_mount_point(const std::string& folder, const char* planned_table, const char* mounted_table) {
    std::vector<std::string> planned = mount_points_in(planned_table);
    std::erase_if(planned, [&](const std::string& point) { return !lies_below(folder, point); });
    if (planned.empty()) return false;
    // Without the table of what is mounted, nothing can be told.
    const std::vector<std::string> mounted = mount_points_in(mounted_table);
    return !mounted.empty() && std::any_of(planned.begin(), planned.end(), [&](const std::string& point) {
        return std::find(mounted.begin(), mounted.end(), point) == mounted.end();
    });
}

}  // namespace quillet::platform::posix

namespace quillet::platform {

bool on_unmounted_drive(std::string_view folder_text) {
    const auto native = native_path(folder_text);
    if (!native) return false;
    char resolved[PATH_MAX];
    if (::realpath(native->c_str(), resolved) == nullptr) return false;
    return posix::on_unmounted_mount_point(resolved, "/etc/fstab", "/proc/self/mounts");
}

}  // namespace quillet::platform::posix
