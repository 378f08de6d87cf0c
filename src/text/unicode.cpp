#include "text/unicode.h"

#include <glib.h>

#include <algorithm>
#include <array>

namespace quillet::unicode {

namespace {

// The bytes 0x80 to 0x9F of Windows-1252; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows_1252(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kWindows1252High[byte - 0x80];
    return byte;
}

std::u32string decode_windows_1252(std::string_view bytes) {
    std::u32string result;
    result.reserve(bytes.size());
    for (const char byte : bytes) result.push_back(windows_1252(static_cast<unsigned char>(byte)));
    return result;
}

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

bool is_valid_utf8(std::string_view text) {
    // GLib refuses a NUL byte, which UTF-8 allows: a line holding one would be read
    // as Windows-1252. The stretches between NULs are validated one by one.
    for (;;) {
        const std::size_t nul = text.find('\0');
        const std::string_view stretch = text.substr(0, nul);
        if (!g_utf8_validate(stretch.data(), static_cast<gssize>(stretch.size()), nullptr)) return false;
        if (nul == std::string_view::npos) return true;
        text.remove_prefix(nul + 1);
    }
}

std::u32string decode(std::string_view text) {
    if (!is_valid_utf8(text)) return decode_windows_1252(text);
    std::u32string result;
    result.reserve(text.size());
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); p < end; p = g_utf8_next_char(p)) {
        result.push_back(g_utf8_get_char(p));
    }
    return result;
}

std::string encode(std::u32string_view code_points) {
    std::string result;
    result.reserve(code_points.size());
    char buffer[6];
    for (const char32_t c : code_points) {
        const gint size = g_unichar_to_utf8(static_cast<gunichar>(c), buffer);
        result.append(buffer, static_cast<std::size_t>(size));
    }
    return result;
}

std::size_t length(std::string_view text) {
    if (!is_valid_utf8(text)) return text.size();
    // Every code point has one byte that is not a continuation byte (NULs included,
    // where g_utf8_strlen would stop).
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

char32_t to_upper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
    return g_unichar_toupper(static_cast<gunichar>(c));
}

std::u32string to_upper(std::u32string_view text) {
    std::u32string result(text);
    for (char32_t& c : result) c = to_upper(c);
    return result;
}

std::string to_upper(std::string_view text) {
    // Names are mostly plain ASCII, which needs no decoding; every file copied has one upper-cased.
    if (!is_ascii(text)) return encode(to_upper(decode(text)));
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(to_upper(static_cast<char32_t>(c)));
    return upper;
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    return to_upper(decode(a)) == to_upper(decode(b));
}

std::string from_windows_1252_unless_utf8(std::string_view bytes) {
    if (is_valid_utf8(bytes)) return std::string(bytes);
    return encode(decode_windows_1252(bytes));
}

}  // namespace quillet::unicode
