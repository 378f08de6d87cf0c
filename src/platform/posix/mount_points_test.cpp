#include "platform/posix/mount_points.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

namespace quillet::platform::posix {
namespace {

// A folder on or below a planned mount point counts only while nothing is
// mounted there; without the table of what is mounted, the kernel's marks tell.
TEST(MountPoints, AFolderOnAPlannedMountPointThatIsNotMountedIsOnAnUnmountedDrive) {
    testing::ScratchFolder tables{"mounts"};
    tables.write("fstab", "# the drives\n/dev/sda1 / ext4 defaults 0 1\n"
                          "UUID=1234 /media/back\\040up ext4 noauto 0 2\n/dev/sda2 none swap sw 0 0\n");
    tables.write("mounted", "/dev/sda1 / ext4 rw 0 0\nproc /proc proc rw 0 0\n");
    tables.write("mounted-too", "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 /media/back\\040up ext4 rw 0 0\n");
    tables.write("mounted-inside", "/dev/sda1 / ext4 rw 0 0\n/dev/sdc1 /media/back\\040up/inner ext4 rw 0 0\n");
    const std::string fstab = tables.native("fstab").string();
    const std::string mounted = tables.native("mounted").string();
    const std::string mounted_too = tables.native("mounted-too").string();
    const std::string mounted_inside = tables.native("mounted-inside").string();
    const std::string missing = tables.native("missing").string();
    // Nothing is mounted on this folder; on /proc, something is.
    const std::string empty_point = tables.native("point").string();
    tables.write("point/nothing-here", "");
    tables.write("fstab-too", "/dev/sdd1 " + empty_point + " ext4 noauto 0 2\nproc /proc proc defaults 0 0\n");
    const std::string fstab_too = tables.native("fstab-too").string();

    struct Case {
        std::string folder;
        const std::string& planned;
        const std::string& now;
        std::string unmounted_point;  // empty: none
    };
    const std::string media = "/media/back up";
    for (const Case& row : {Case{media, fstab, mounted, media}, Case{media + "/Data", fstab, mounted, media},
                            Case{"/media/back upX", fstab, mounted, ""}, Case{"/home/ann", fstab, mounted, ""},
                            Case{media + "/Data", fstab, mounted_too, ""},
                            Case{media + "/inner/x", fstab, mounted_inside, ""},
                            Case{media + "/x", fstab, mounted_inside, media},
                            // Nothing is mounted on what is not there.
                            Case{media + "/Data", fstab, missing, media},
                            Case{empty_point, fstab_too, missing, empty_point},
                            Case{empty_point + "/Backup/Daily", fstab_too, missing, empty_point},
                            Case{"/proc/self", fstab_too, missing, ""},
                            Case{media + "/Data", missing, mounted, ""}}) {
        EXPECT_EQ(unmounted_mount_point(row.folder, row.planned.c_str(), row.now.c_str()).value_or(""),
                  row.unmounted_point)
            << row.folder << " " << row.planned << " " << row.now;
    }
}

}  // namespace
}  // namespace quillet::platform::posix
