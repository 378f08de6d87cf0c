#include "app/command_file_lines.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using Lines = std::vector<std::string>;

// Lines end at CR, LF or CR LF; a byte order mark is skipped at the start only;
// each line is read as UTF-8, else as Windows-1252, or the whole file as UTF-16
// where its mark says so.
TEST(CommandFileLines, SplitAtAnyLineEndAndReadEachLineAsUtf8ElseAsWindows1252) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"\r", {""}},
        {"one\r\n\r\ntwo\rthree\n", {"one", "", "two", "three"}},
        {"one\n\r\ntwo", {"one", "", "two"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBFone\n\xEF\xBB\xBFtwo", {"one", "\xEF\xBB\xBFtwo"}},
        {"Z:\\Caf\xC3\xA9\r\nZ:\\Caf\xE9 \x80", {"Z:\\Caf\xC3\xA9", "Z:\\Caf\xC3\xA9 \xE2\x82\xAC"}},
        // é, then G clef (a surrogate pair), then a high surrogate alone, and one odd byte.
        {std::string("\xFF\xFEZ\0:\0\xE9\0\r\0\n\0\x34\xD8\x1E\xDDx\0\x34\xD8!\0!", 23),
         {"Z:\xC3\xA9", "\xF0\x9D\x84\x9Ex\xEF\xBF\xBD!\xEF\xBF\xBD"}},
        {std::string("\xFE\xFF\0a\0\n\0b", 8), {"a", "b"}},
        {"\xFF\xFE", {}},
    };
    for (const auto& [text, lines] : cases) EXPECT_EQ(CommandFileLines(text), lines) << text;
}

}  // namespace
}  // namespace quillet
