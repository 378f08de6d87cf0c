#include "app/command_file_lines.h"

#include "text/unicode.h"

namespace quillet {

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

// The text after its byte order mark, cut at its line ends.
std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        lines.push_back(unicode::from_windows_1252_unless_utf8(line));
        if (end == std::string_view::npos) break;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

}  // namespace

std::vector<std::string> CommandFileLines(std::string_view bytes) {
    if (bytes.starts_with(kUtf16LittleEndianMark) || bytes.starts_with(kUtf16BigEndianMark)) {
        const bool big_endian = bytes.starts_with(kUtf16BigEndianMark);
        return lines_of(unicode::from_utf16(bytes.substr(kUtf16BigEndianMark.size()), big_endian));
    }
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    return lines_of(bytes);
}

}  // namespace quillet
