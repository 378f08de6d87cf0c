#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "support/environment.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;
using testing::set_environment;
using testing::unset_environment;

constexpr const char* kDrives = "D:=/media/usb;\\\\nas\\backup=/mnt/nas/";
constexpr const char* kOddDrives = " e: = /srv/e ; junk;Q=;X:=;\\\\lonely=/x";
constexpr const char* kNested = "D:=/media;E:=/media/usb";

struct Case {
    std::function<std::optional<std::string>(std::string_view)> convert;
    const char* drives;  // QUILLET_DRIVES; null: unset
    const char* given;
    std::optional<std::string> expected;
};

// Drive Z: is the root; other drives and shares are only those the variable maps,
// and the longest mapped folder that holds a path names it. Paths on Z:, both ways,
// are those of every end-to-end test.
TEST(Paths, NativePathsAndPathTextMapBothWays) {
    const auto native = [](std::string_view text) { return native_path(text); };
    const auto text = [](std::string_view native) { return path_text(native); };
    const Case cases[] = {
        {native, kDrives, "z:", "/"},
        {native, kDrives, "D:\\x\\y.txt", "/media/usb/x/y.txt"},
        {native, kDrives, "d:\\", "/media/usb"},
        {native, kDrives, "\\\\nas\\backup\\dir\\f.txt", "/mnt/nas/dir/f.txt"},
        {native, kDrives, "\\\\NAS\\Backup", "/mnt/nas"},
        {native, kDrives, "\\\\nas\\other\\x", std::nullopt},
        {native, kDrives, "\\\\nas", std::nullopt},  // no share named
        {native, kDrives, "dir\\f.txt", "dir/f.txt"},
        {native, kOddDrives, "E:\\a", "/srv/e/a"},
        {native, kOddDrives, "\\\\lonely\\a", std::nullopt},
        {native, nullptr, "E:\\a", std::nullopt},  // a mapping lasts while the variable says it
        {text, kDrives, "/", "Z:\\"},
        {text, kDrives, "/media/usb/x", "D:\\x"},
        {text, kDrives, "/media/usbstick", "Z:\\media\\usbstick"},
        {text, kDrives, "/mnt/nas/a/b", "\\\\nas\\backup\\a\\b"},
        {text, kDrives, "/tmp/a\\b", std::nullopt},
        {text, kNested, "/media/usb/x", "E:\\x"},
        {text, kNested, "/media/other", "D:\\other"},
    };
    for (const Case& c : cases) {
        c.drives != nullptr ? set_environment("QUILLET_DRIVES", c.drives) : unset_environment("QUILLET_DRIVES");
        EXPECT_EQ(c.convert(c.given), c.expected) << c.given;
    }
    unset_environment("QUILLET_DRIVES");
}

// Text without a drive, or with only a root, follows the current directory and its drive.
TEST(Paths, RelativeTextFollowsTheCurrentDirectory) {
    const fs::path saved = fs::current_path();
    testing::ScratchFolder folder;
    fs::create_directory(folder.native("inner"));
    const std::string inner_text = folder.text("inner");
    fs::current_path(folder.native("inner"));
    EXPECT_EQ(native_path("\\etc\\hosts"), "/etc/hosts");
    EXPECT_EQ(path_text("f.txt"), inner_text + "\\f.txt");  // current_directory() here is Existence's

    set_environment("QUILLET_DRIVES", "D:=" + folder.native().string());
    EXPECT_EQ(current_directory(), "D:\\inner");
    EXPECT_EQ(native_path("\\other"), folder.native("other").string());
    unset_environment("QUILLET_DRIVES");
    fs::current_path("/");
    EXPECT_EQ(current_directory(), "Z:");
    fs::current_path(saved);
}

}  // namespace
}  // namespace quillet::platform
