// A command file's bytes, as the runner reads them: cut into lines, each line read
// as UTF-8 or else as Windows-1252, and every line that would run split as the
// dispatcher and the job split it (at blanks, a /E list at commas, a /C value at
// slashes). Checks what the reader promises of its lines, and that the splits
// fail only with the program's own errors.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_file_lines.h"
#include "text/error.h"
#include "text/tokenizer.h"
#include "text/unicode.h"

namespace {

using namespace quillet;

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "command_file_fuzzer: %s\n", what);
    std::abort();
}

// The splits of one line; a line of too many parts is refused with an Error.
void split_as_the_program_does(const std::string& line) {
    try {
        lib_basConversion::lib_GetLineParts3(line, lib_basConversion::kBlanksAndTabs, 10);
    } catch (const Error&) {
    }
    try {
        lib_basConversion::lib_GetLineParts3(unicode::to_upper(line), lib_basConversion::kCommas, 10);
    } catch (const Error&) {
    }
    std::string rest = line;
    for (int i = 0; i < 4; ++i) lib_basConversion::lib_GetToken(rest, "/", true, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = CommandFileLines(bytes);

    // CR, LF and CR LF each end a line.
    const auto line_ends = static_cast<std::size_t>(
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }));
    require(lines.size() <= line_ends + 1, "more lines than line ends allow");
    const bool only_a_byte_order_mark = bytes == "\xEF\xBB\xBF" || bytes == "\xFF\xFE" || bytes == "\xFE\xFF";
    require((bytes.empty() || only_a_byte_order_mark) == lines.empty(), "an empty file has no lines, and only it");
    for (const std::string& line : lines) {
        require(line.find_first_of("\r\n") == std::string::npos, "a line holds a line end");
        require(unicode::is_valid_utf8(line), "a line is not UTF-8");
        if (unicode::length(line) >= 3) split_as_the_program_does(line);
    }
    return 0;
}
