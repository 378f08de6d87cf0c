#include "text/unicode.h"

#include "platform/case_mapping.h"

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

}  // namespace

std::size_t sequence_at(std::string_view text, std::size_t at, char32_t& decoded) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        decoded = lead;
        return 1;
    }
    std::size_t size = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return 0;  // a continuation byte, the overlong leads C0 and C1, or F5 to FF
    }
    if (text.size() - at < size) return 0;
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    decoded = c;
    return size;
}

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool is_valid_utf8(std::string_view text) {
    // A NUL byte is valid UTF-8 (a line holding one is not read as Windows-1252).
    char32_t ignored = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = sequence_at(text, at, ignored);
        if (size == 0) return false;
        at += size;
    }
    return true;
}

std::u32string decode(std::string_view text) {
    if (!is_valid_utf8(text)) return decode_windows_1252(text);
    std::u32string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        at += sequence_at(text, at, c);
        result.push_back(c);
    }
    return result;
}

std::string encode(std::u32string_view code_points) {
    std::string result;
    result.reserve(code_points.size());
    const auto put = [&](char32_t bits) { result.push_back(static_cast<char>(bits)); };
    for (char32_t c : code_points) {
        // decode() gives nothing beyond Unicode; anything else encodes as U+FFFD.
        if (c > 0x10FFFF) c = 0xFFFD;
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | (c >> 6));
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | (c >> 12));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    return result;
}

std::size_t length(std::string_view text) {
    if (!is_valid_utf8(text)) return text.size();
    // Every code point of valid UTF-8 has one byte that is not a continuation byte.
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

char32_t to_upper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
    return platform::simple_upper_case(c);
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

std::string from_utf16(std::string_view bytes, bool big_endian) {
    constexpr char32_t kReplacement = 0xFFFD;
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        return big_endian ? first << 8 | second : second << 8 | first;
    };
    const auto is_high = [](char32_t u) { return u >= 0xD800 && u <= 0xDBFF; };
    const auto is_low = [](char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; };
    std::u32string code_points;
    std::size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t u = unit(at);
        if (is_high(u) && at + 3 < bytes.size() && is_low(unit(at + 2))) {
            code_points.push_back(0x10000 + ((u - 0xD800) << 10) + (unit(at + 2) - 0xDC00));
            at += 2;
        } else {
            code_points.push_back(is_high(u) || is_low(u) ? kReplacement : u);
        }
    }
    if (at < bytes.size()) code_points.push_back(kReplacement);
    return encode(code_points);
}

}  // namespace quillet::unicode
