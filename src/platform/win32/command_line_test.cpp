// The quoting is checked against the system's own reading of a command line
// (CommandLineToArgvW follows the C runtime's rules for the arguments).

#include "platform/win32/command_line.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace quillet::platform::win32 {
namespace {

std::vector<std::wstring> read_back(const std::wstring& command_line) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(command_line.c_str(), &count);
    std::vector<std::wstring> arguments(words, words + count);
    LocalFree(words);
    return arguments;
}

TEST(CommandLine, ArgumentsComeBackAsTheyWere) {
    const std::vector<std::vector<std::wstring>> cases = {
        {},
        {L"plain", L"", L"two words", L"tab\there"},
        {L"C:\\Program Files\\", L"\\\\server\\share\\", L"ends\\"},
        {L"say \"hi\"", L"\\\"", L"a\\\\\"b", L"\"", L"\"\""},
        {L"/compact", L"Z:\\db dir\\data.mdb", L"Ünïcödé ✓"},
    };
    for (const auto& arguments : cases) {
        const std::wstring program = L"C:\\Program Files\\Office\\MSACCESS.EXE";
        const std::wstring line = quoted_command_line(program, arguments);
        std::vector<std::wstring> expected{program};
        expected.insert(expected.end(), arguments.begin(), arguments.end());
        EXPECT_EQ(read_back(line), expected) << std::string(line.begin(), line.end());
    }
}

}  // namespace
}  // namespace quillet::platform::win32
