#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "support/wine.h"

namespace quillet::platform {
namespace {

using ::testing::HasSubstr;

// The test modules are stored beside this test program, where no library search
// path would find them.
TEST(ProgramModules, LoadFromTheProgramsFolderAndFindEntryPointsByName) {
    std::string failure;
    const auto module = load_program_module(QUILLET_TEST_MODULE, failure);
    ASSERT_TRUE(module) << failure;
    const auto answer = module->entry_point<int()>("quillet_test_module_answer");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(module->entry_point<int()>("quillet_test_module_question"), nullptr);
}

TEST(ProgramModules, SayWhyAModuleCannotBeLoaded) {
    std::string failure;
    EXPECT_FALSE(load_program_module("no-such-module", failure));
    EXPECT_THAT(failure, HasSubstr("no-such-module"));

    if (testing::running_under_wine()) {
        GTEST_SKIP() << "Wine loads a DLL whose imports it cannot find, with stubs that abort when called";
    }
    EXPECT_FALSE(load_program_module(QUILLET_TEST_MODULE_UNRESOLVED, failure));
    EXPECT_THAT(failure, HasSubstr(QUILLET_TEST_MODULE_UNRESOLVED_NAMES));
}

}  // namespace
}  // namespace quillet::platform
