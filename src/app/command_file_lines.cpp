#include "app/command_file_lines.h"

#include "text/unicode.h"

namespace quillet {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

}  // namespace

std::vector<std::string> CommandFileLines(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark)) {
        const bool big_endian = bytes.starts_with(kUtf16BigEndianMark);
        return CommandFileLines(unicode::from_utf16(bytes.substr(2), big_endian));
    }
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        const std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        lines.push_back(unicode::from_windows_1252_unless_utf8(line));
        if (end == std::string_view::npos) break;
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

}  // namespace quillet
