#include "app/command_line_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillet {
namespace {

// A /Z password reaches the job as written, or the line is refused: quotes around
// the whole part, the value or the key are syntax; anything else that the split
// would change is not.
TEST(CommandLineText, APasswordThatTheLineWouldChangeIsNamed) {
    const std::string with_nul = std::string("s d /Z=\"pa") + '\0' + "ss\"";
    const std::pair<std::string, bool> cases[] = {
        {R"(s d /Z=pass)", false},
        {R"(s d "/Z=my pass")", false},
        {R"(s d /z="my pass")", false},
        {R"(s d "/Z"=secret)", false},
        {R"(s d /Z="")", false},
        {R"(s d /C="Z:\My Files\sys.mdw"/admin/pwd/db)", false},  // a /C password fails loudly
        {R"(s d /Z=pa"ss)", true},
        {R"(s d /Z=a"b"c)", true},
        {R"(s d " /Z=pa"ss)", true},
        {R"(s d /Z="trail ")", true},
        {R"(s d /E="junk /Z=secret)", true},  // the open quote takes the option in
        {with_nul, true},
    };
    for (const auto& [line, changed] : cases) EXPECT_EQ(PasswordThatTheLineChanges(line).has_value(), changed) << line;
    // The shell has taken out its own quotes already: what is left is the password's.
    for (const char* argument : {"/Z=\"secret\"", "\"/Z=secret\"", " /Z=pass"}) {
        EXPECT_EQ(PasswordThatCannotPass({"s", "d", argument}), "/Z") << argument;
    }
    EXPECT_EQ(PasswordThatCannotPass({"s", "d", "/Z=my pass"}), std::nullopt);
}

}  // namespace
}  // namespace quillet
