#pragma once
// Numbers as the program's options and counts use them: numeric text is read with
// the leading-number rule, rounded to a signed 16-bit integer with halves going to
// the even neighbour, and 16-bit arithmetic that leaves -32768..32767 raises
// error 6 "Overflow".

#include <cstdint>
#include <string>
#include <string_view>

namespace quillet {

// The number at the start of the text, read as the language's Val reads it: blanks,
// tabs and line feeds are skipped wherever they stand, then an optional sign,
// digits with at most one decimal point and an optional exponent ("1e2", "1D-3").
// Reading stops at the first character that cannot continue the number; text
// without a number reads as 0. A number too large for a double raises error 6.
double read_leading_number(std::string_view text);

// The nearest 16-bit integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2); error 6 when the result does not fit.
std::int16_t round_to_int16(double value);

// Numeric option text as a 16-bit integer: both of the above in one.
std::int16_t int16_from_text(std::string_view text);

// Checked 16-bit arithmetic; error 6 when the result leaves the range.
std::int16_t checked_int16(std::int64_t value);
std::int16_t add_int16(std::int16_t a, std::int16_t b);
std::int16_t subtract_int16(std::int16_t a, std::int16_t b);

// The number with zeros leading to two or to four digits, as dates, times and
// numbered names show it: two_digits(7) is "07", four_digits(100) is "0100". A
// number with more digits, or a negative one, is written as it is.
std::string two_digits(int value);
std::string four_digits(int value);

}  // namespace quillet
