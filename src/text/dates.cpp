#include "text/dates.h"

#include <chrono>
#include <cmath>
#include <cstdint>

#include "text/numbers.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
// Day numbers (days since 1899-12-30) of the first and last day a date can hold.
constexpr std::int64_t kFirstDay = -657'434;  // 0100-01-01
constexpr std::int64_t kLastDay = 2'958'465;  // 9999-12-31
// 1970-01-01, the epoch of the civil-day arithmetic below, as a day number.
constexpr std::int64_t kCivilEpochDay = 25'569;

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
std::int64_t floor_mod(std::int64_t a, std::int64_t b) { return a - floor_div(a, b) * b; }

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar, and back.
// The calendar's years end long before a date's day count could come back into range.
std::int64_t days_from_civil(std::int64_t year, std::int64_t month, std::int64_t day) {
    if (year < static_cast<int>(std::chrono::year::min()) || year > static_cast<int>(std::chrono::year::max())) {
        throw vb::error(vb::kOverflow);
    }
    const std::chrono::year_month_day civil{std::chrono::year{static_cast<int>(year)},
                                            std::chrono::month{static_cast<unsigned>(month)},
                                            std::chrono::day{static_cast<unsigned>(day)}};
    return std::chrono::sys_days{civil}.time_since_epoch().count();
}

std::chrono::year_month_day civil_from_days(std::int64_t days) {
    return std::chrono::year_month_day{std::chrono::sys_days{std::chrono::days{days}}};
}

void check_day_in_range(std::int64_t day_number) {
    if (day_number < kFirstDay || day_number > kLastDay) throw vb::error(vb::kOverflow);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int digits_value(std::string_view text) {
    int value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

Date date_from_parts(const DateTime& parts) {
    const std::int64_t months_from_january = std::int64_t{parts.month} - 1;
    const std::int64_t year = parts.year + floor_div(months_from_january, 12);
    const std::int64_t month = floor_mod(months_from_january, 12) + 1;
    const std::int64_t seconds = std::int64_t{parts.hour} * 3600 + std::int64_t{parts.minute} * 60 + parts.second;

    const std::int64_t day_number = days_from_civil(year, month, 1) + kCivilEpochDay + (parts.day - 1) +
                                    floor_div(seconds, kSecondsPerDay);
    check_day_in_range(day_number);

    const double fraction = static_cast<double>(floor_mod(seconds, kSecondsPerDay)) / kSecondsPerDay;
    const double whole = static_cast<double>(day_number);
    return day_number >= 0 ? whole + fraction : whole - fraction;
}

DateTime parts_from_date(Date date) {
    if (!(date > kFirstDay - 1 && date < kLastDay + 1)) throw vb::error(vb::kOverflow);
    std::int64_t day_number = static_cast<std::int64_t>(std::trunc(date));
    std::int64_t seconds = std::llround(std::fabs(date - std::trunc(date)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {  // rounded up to the next midnight
        seconds -= kSecondsPerDay;
        day_number += 1;
        check_day_in_range(day_number);
    }
    const std::chrono::year_month_day civil = civil_from_days(day_number - kCivilEpochDay);
    return DateTime{static_cast<int>(civil.year()),
                    static_cast<int>(static_cast<unsigned>(civil.month())),
                    static_cast<int>(static_cast<unsigned>(civil.day())),
                    static_cast<int>(seconds / 3600),
                    static_cast<int>(seconds / 60 % 60),
                    static_cast<int>(seconds % 60)};
}

Date whole_day(Date date) { return std::trunc(date) + 0.0; }  // + 0.0 turns -0 into 0

std::string format_date(Date date, std::string_view format) {
    const DateTime parts = parts_from_date(date);
    std::string result;
    std::size_t i = 0;
    while (i < format.size()) {
        const std::string_view rest = format.substr(i);
        if (rest.starts_with("yyyy")) {
            result += four_digits(parts.year);
            i += 4;
            continue;
        }
        std::string piece;
        if (rest.starts_with("yy")) piece = two_digits(parts.year % 100);
        else if (rest.starts_with("mm")) piece = two_digits(parts.month);
        else if (rest.starts_with("dd")) piece = two_digits(parts.day);
        else if (rest.starts_with("HH")) piece = two_digits(parts.hour);
        else if (rest.starts_with("nn")) piece = two_digits(parts.minute);
        else if (rest.starts_with("ss")) piece = two_digits(parts.second);
        if (piece.empty()) {
            result += format[i++];
        } else {
            result += piece;
            i += 2;
        }
    }
    return result;
}

std::optional<Date> parse_iso_date(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!is_digit(text[i])) return std::nullopt;
    }
    const int year = digits_value(text.substr(0, 4));
    const int month = digits_value(text.substr(5, 2));
    const int day = digits_value(text.substr(8, 2));
    const std::chrono::year_month_day civil{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                            std::chrono::day{static_cast<unsigned>(day)}};
    if (year < 100 || !civil.ok()) return std::nullopt;
    return date_from_parts(DateTime{year, month, day});
}

bool is_iso_date(std::string_view text) { return parse_iso_date(text).has_value(); }

}  // namespace quillet
