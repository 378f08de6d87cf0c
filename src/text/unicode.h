#pragma once
// Text is UTF-8 in std::string. Lengths and positions are counted in code points,
// and case is folded with Unicode's simple case mapping, never ASCII alone.

#include <cstddef>
#include <string>
#include <string_view>

namespace quillet::unicode {

bool is_valid_utf8(std::string_view text);
// The length of the UTF-8 sequence that starts at text[at], or 0 where none does:
// a stray continuation byte, a lead byte not followed by its continuation bytes,
// an overlong form, a surrogate, or a code point beyond U+10FFFF. On success
// `decoded` holds the code point.
std::size_t sequence_at(std::string_view text, std::size_t at, char32_t& decoded);
// Plain ASCII: no byte above 0x7F. Such text needs no decoding to be compared or
// upper-cased.
bool is_ascii(std::string_view text);

// Code points of UTF-8 text. Text that is not valid UTF-8 is read as Windows-1252.
std::u32string decode(std::string_view text);
std::string encode(std::u32string_view code_points);

// Number of code points.
std::size_t length(std::string_view text);

char32_t to_upper(char32_t c);
std::string to_upper(std::string_view text);
std::u32string to_upper(std::u32string_view text);
bool equal_ignoring_case(std::string_view a, std::string_view b);

// Bytes that are not valid UTF-8 read as Windows-1252 (command files written on
// Windows); valid UTF-8 is returned unchanged.
std::string from_windows_1252_unless_utf8(std::string_view bytes);

// UTF-16 bytes (no byte order mark) as UTF-8. A surrogate without its partner,
// or a last byte without its pair, reads as U+FFFD.
std::string from_utf16(std::string_view bytes, bool big_endian);

}  // namespace quillet::unicode
