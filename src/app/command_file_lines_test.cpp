#include "app/command_file_lines.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using Lines = std::vector<std::string>;

// Lines end at CR, LF or CR LF; a byte order mark is skipped at the start only;
// each line is read as UTF-8, else as Windows-1252.
TEST(CommandFileLines, SplitAtAnyLineEndAndReadEachLineAsUtf8ElseAsWindows1252) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"\r", {""}},
        {"one\r\n\r\ntwo\rthree\n", {"one", "", "two", "three"}},
        {"one\n\r\ntwo", {"one", "", "two"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBFone\n\xEF\xBB\xBFtwo", {"one", "\xEF\xBB\xBFtwo"}},
        {"Z:\\Caf\xC3\xA9\r\nZ:\\Caf\xE9 \x80", {"Z:\\Caf\xC3\xA9", "Z:\\Caf\xC3\xA9 \xE2\x82\xAC"}},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(CommandFileLines(text), lines) << text;
}

}  // namespace
}  // namespace quillet
