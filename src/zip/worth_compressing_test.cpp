#include "zip/worth_compressing.h"

#include <gtest/gtest.h>

#include <random>

#include "support/archives.h"

namespace quillet::zip32 {
namespace {

// Random bytes stand for packed data; zeros for what deflates. A file is stored
// only when no part of it sampled would shrink.
TEST(WorthCompressing, OnlyWhenNoPlaceSampledShrinks) {
    constexpr std::size_t kMiB = 1024 * 1024;
    std::mt19937 generator(7);
    const auto noise = [&](std::size_t size) {
        std::string bytes(size, '\0');
        for (char& byte : bytes) byte = static_cast<char>(generator());
        return bytes;
    };
    const std::string zeros(kMiB, '\0');
    const struct {
        const char* name;
        std::string content;
        bool worth;
    } cases[] = {
        {"small noise", noise(kMiB / 2), true},
        {"noise", noise(3 * kMiB), false},
        {"packed start", noise(kMiB) + zeros + zeros, true},
        {"packed but its middle", noise(kMiB) + zeros + noise(kMiB), true},
        {"packed but its end", noise(2 * kMiB) + zeros, true},
    };
    zip_test::ScratchTree tree;
    for (const auto& c : cases) {
        tree.file(c.name, c.content);
        EXPECT_EQ(worth_compressing(tree.path(c.name).string(), c.content.size()), c.worth) << c.name;
    }
}

}  // namespace
}  // namespace quillet::zip32
