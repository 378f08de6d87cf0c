#include "text/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "text/vb_errors.h"

namespace quillet {

namespace {

std::string zero_padded(int value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (value >= 0 && digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return digits;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_exponent_mark(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

// Exponents beyond this are far outside a double's range either way; capping them
// keeps the exponent's own digits from overflowing.
constexpr int kExponentCap = 100000;

// The number at the start of the text, in the form from_chars reads: no blanks,
// no sign, "e" as the exponent mark. Empty when the text holds no number.
struct NumberText {
    bool negative = false;
    std::string digits;        // mantissa with its decimal point, if any
    int exponent = 0;
    bool has_nonzero = false;  // the mantissa is not all zeros
    int magnitude = 0;         // decimal exponent of the first non-zero digit, plus one
};

class LeadingNumberReader {
public:
    explicit LeadingNumberReader(std::string_view text) : text_(text) {}

    NumberText read() {
        NumberText number;
        const char sign = peek();
        if (sign == '+' || sign == '-') {
            number.negative = sign == '-';
            advance();
        }
        read_mantissa(number);
        if (number.digits.empty() || number.digits == ".") {
            number.digits.clear();
            return number;
        }
        if (is_exponent_mark(peek())) read_exponent(number);
        return number;
    }

private:
    char peek() {
        while (position_ < text_.size() && is_blank(text_[position_])) ++position_;
        return position_ < text_.size() ? text_[position_] : '\0';
    }
    void advance() { ++position_; }

    void read_mantissa(NumberText& number) {
        bool seen_point = false;
        int whole_digits = 0;
        int leading_fraction_zeros = 0;
        for (char c = peek(); is_digit(c) || (c == '.' && !seen_point); c = peek()) {
            number.digits.push_back(c);
            advance();
            if (c == '.') {
                seen_point = true;
            } else if (c != '0' || number.has_nonzero) {
                if (!number.has_nonzero && seen_point) number.magnitude = -leading_fraction_zeros;
                number.has_nonzero = true;
                if (!seen_point) ++whole_digits;
            } else if (seen_point) {
                ++leading_fraction_zeros;
            }
        }
        if (whole_digits > 0) number.magnitude = whole_digits;
    }

    // An exponent mark counts only when digits follow it, after an optional sign.
    void read_exponent(NumberText& number) {
        const std::size_t mark = position_;
        advance();
        bool negative = false;
        const char sign = peek();
        if (sign == '+' || sign == '-') {
            negative = sign == '-';
            advance();
        }
        if (!is_digit(peek())) {
            position_ = mark;
            return;
        }
        int exponent = 0;
        for (char c = peek(); is_digit(c); c = peek()) {
            if (exponent < kExponentCap) exponent = exponent * 10 + (c - '0');
            advance();
        }
        number.exponent = negative ? -exponent : exponent;
    }

    std::string_view text_;
    std::size_t position_ = 0;
};

double value_of(const NumberText& number) {
    if (number.digits.empty()) return 0.0;
    std::string text = number.digits;
    if (number.exponent != 0) {
        text += 'e';
        text += std::to_string(number.exponent);
    }
    double value = 0.0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status == std::errc::result_out_of_range) {
        // from_chars does not say which way it left the range.
        if (number.has_nonzero && number.magnitude + number.exponent > 0) {
            throw vb::error(vb::kOverflow);
        }
        value = 0.0;
    }
    return number.negative ? -value : value;
}

}  // namespace

double read_leading_number(std::string_view text) {
    return value_of(LeadingNumberReader(text).read());
}

std::int16_t round_to_int16(double value) {
    if (std::isnan(value)) throw vb::error(vb::kOverflow);
    double rounded = std::round(value);  // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5 && std::fmod(rounded, 2.0) != 0.0) {
        rounded -= std::copysign(1.0, value);
    }
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        throw vb::error(vb::kOverflow);
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t int16_from_text(std::string_view text) { return round_to_int16(read_leading_number(text)); }

std::int16_t checked_int16(std::int64_t value) {
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
        throw vb::error(vb::kOverflow);
    }
    return static_cast<std::int16_t>(value);
}

std::int16_t add_int16(std::int16_t a, std::int16_t b) {
    return checked_int16(std::int64_t{a} + std::int64_t{b});
}

std::int16_t subtract_int16(std::int16_t a, std::int16_t b) {
    return checked_int16(std::int64_t{a} - std::int64_t{b});
}

std::string two_digits(int value) { return zero_padded(value, 2); }

std::string four_digits(int value) { return zero_padded(value, 4); }

}  // namespace quillet
