// Devices are never opened as files, whichever way a path names them.

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/files.h"

namespace quillet::platform {
namespace {

TEST(Devices, AreNeitherReadNorCopied) {
    testing::ScratchFolder folder;
    std::string bytes;
    // The device namespace, and a reserved name, which is a device in every folder.
    for (const std::string& device : {std::string("\\\\.\\NUL"), std::string("NUL"), folder.text("COM1")}) {
        EXPECT_EQ(read_regular_file(device, 16, bytes), FileRead::not_a_regular_file) << device;
        EXPECT_EQ(copy_file(device, folder.text("copy")), CopyResult::not_regular) << device;
    }
    EXPECT_FALSE(folder.exists("copy"));
}

}  // namespace
}  // namespace quillet::platform
