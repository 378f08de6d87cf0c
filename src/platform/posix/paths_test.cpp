#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quillet::platform {
namespace {

namespace fs = std::filesystem;

class Paths : public ::testing::Test {
protected:
    void SetUp() override {
        saved_directory_ = fs::current_path();
        if (const char* drives = getenv("QUILLET_DRIVES")) saved_drives_ = drives;
        setenv("QUILLET_DRIVES", "D:=/media/usb;\\\\nas\\backup=/mnt/nas/", 1);
    }
    void TearDown() override {
        fs::current_path(saved_directory_);
        if (saved_drives_) {
            setenv("QUILLET_DRIVES", saved_drives_->c_str(), 1);
        } else {
            unsetenv("QUILLET_DRIVES");
        }
    }

    fs::path saved_directory_;
    std::optional<std::string> saved_drives_;
};

TEST_F(Paths, DriveZIsTheRoot) {
    EXPECT_EQ(native_path("Z:\\home\\ann\\Data"), "/home/ann/Data");
    EXPECT_EQ(native_path("z:"), "/");
    EXPECT_EQ(native_path("Z:\\dir\\"), "/dir/");
}

TEST_F(Paths, MappedDrivesAndShares) {
    EXPECT_EQ(native_path("D:\\x\\y.txt"), "/media/usb/x/y.txt");
    EXPECT_EQ(native_path("d:\\"), "/media/usb");
    EXPECT_EQ(native_path("D:relative\\f"), "/media/usb/relative/f");
    EXPECT_EQ(native_path("\\\\nas\\backup\\dir\\f.txt"), "/mnt/nas/dir/f.txt");
    EXPECT_EQ(native_path("\\\\NAS\\Backup"), "/mnt/nas");
    // Unmapped drives and shares do not exist.
    EXPECT_EQ(native_path("E:\\x"), std::nullopt);
    EXPECT_EQ(native_path("\\\\nas\\other\\x"), std::nullopt);
    EXPECT_EQ(native_path("\\\\nas"), std::nullopt);
}

TEST_F(Paths, MappingsFollowTheVariable) {
    setenv("QUILLET_DRIVES", " e: = /srv/e ; junk;Q=;X:=;\\\\lonely=/x", 1);
    EXPECT_EQ(native_path("E:\\a"), "/srv/e/a");
    EXPECT_EQ(native_path("D:\\a"), std::nullopt);
    EXPECT_EQ(native_path("\\\\lonely\\a"), std::nullopt);
    unsetenv("QUILLET_DRIVES");
    EXPECT_EQ(native_path("E:\\a"), std::nullopt);
    EXPECT_EQ(native_path("Z:\\a"), "/a");
}

TEST_F(Paths, TextWithoutDriveIsRelativeToTheCurrentDirectory) {
    EXPECT_EQ(native_path("dir\\f.txt"), "dir/f.txt");
    EXPECT_EQ(native_path(""), "");
    fs::current_path("/tmp");
    EXPECT_EQ(native_path("\\etc\\hosts"), "/etc/hosts");
}

TEST_F(Paths, RootRelativeTextFollowsTheCurrentDrive) {
    fs::path folder = fs::temp_directory_path() / ("quillet-paths-" + std::to_string(getpid()));
    fs::create_directories(folder / "inner");
    folder = fs::canonical(folder);
    setenv("QUILLET_DRIVES", ("D:=" + folder.string()).c_str(), 1);
    fs::current_path(folder / "inner");
    EXPECT_EQ(current_directory(), "D:\\inner");
    EXPECT_EQ(native_path("\\other"), (folder / "other").string());
    fs::current_path(saved_directory_);
    fs::remove_all(folder);
}

TEST_F(Paths, PathTextForNativePaths) {
    EXPECT_EQ(path_text("/home/ann"), "Z:\\home\\ann");
    EXPECT_EQ(path_text("/"), "Z:\\");
    EXPECT_EQ(path_text("/media/usb/x"), "D:\\x");
    EXPECT_EQ(path_text("/media/usbstick"), "Z:\\media\\usbstick");
    EXPECT_EQ(path_text("/mnt/nas/a/b"), "\\\\nas\\backup\\a\\b");
    EXPECT_EQ(path_text("/tmp/a\\b"), std::nullopt);

    setenv("QUILLET_DRIVES", "D:=/media;E:=/media/usb", 1);
    EXPECT_EQ(path_text("/media/usb/x"), "E:\\x");
    EXPECT_EQ(path_text("/media/other"), "D:\\other");

    fs::current_path("/tmp");
    EXPECT_EQ(path_text("f.txt"), "Z:\\tmp\\f.txt");
    EXPECT_EQ(current_directory(), "Z:\\tmp");
    fs::current_path("/");
    EXPECT_EQ(current_directory(), "Z:");
}

}  // namespace
}  // namespace quillet::platform
