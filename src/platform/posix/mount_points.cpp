#include "platform/posix/mount_points.h"

#include <mntent.h>
#include <stdio.h>
#include <sys/stat.h>

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

// Without the table of what is mounted: a file system mounted at the point, or
// deeper on the folder's way, gives the folder another device than the folder
// the point stands in. A folder that cannot be looked at is left to the listing.
bool same_device_as_above(const std::string& folder, const std::string& point) {
    const std::string above = point.substr(0, std::max<std::size_t>(point.rfind('/'), 1));
    struct stat folder_status {};
    struct stat above_status {};
    if (::stat(folder.c_str(), &folder_status) != 0 || ::stat(above.c_str(), &above_status) != 0) return false;
    return folder_status.st_dev == above_status.st_dev;
}

}  // namespace

// The deepest mount point that holds the folder decides: a file system mounted
// inside an unmounted one is there all the same.
bool on_unmounted_mount_point(const std::string& folder, const char* planned_table, const char* mounted_table) {
    std::vector<std::string> planned = mount_points_in(planned_table);
    std::erase_if(planned, [&](const std::string& point) { return !lies_below(folder, point); });
    if (planned.empty()) return false;
    const auto by_length = [](const std::string& a, const std::string& b) { return a.size() < b.size(); };
    const std::string& deepest_planned = *std::max_element(planned.begin(), planned.end(), by_length);
    std::vector<std::string> mounted = mount_points_in(mounted_table);
    if (mounted.empty()) return same_device_as_above(folder, deepest_planned);
    std::erase_if(mounted, [&](const std::string& point) { return !lies_below(folder, point); });
    return std::none_of(mounted.begin(), mounted.end(),
                        [&](const std::string& point) { return point.size() >= deepest_planned.size(); });
}

}  // namespace quillet::platform::posix

namespace quillet::platform {

bool on_unmounted_drive(std::string_view folder_text) {
    const auto resolved = resolved_path(folder_text);
    const auto native = resolved ? native_path(*resolved) : std::nullopt;
    return native && posix::on_unmounted_mount_point(*native, "/etc/fstab", "/proc/self/mounts");
}

}  // namespace quillet::platform
