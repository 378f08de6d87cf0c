#pragma once
// Dates as the program keeps them: a double counting days since 1899-12-30 00:00
// local time, the fraction being the time of day. 0 (that very midnight) stands for
// "no date".
//
// Before 1899-12-30 the value is negative, but only its whole part counts
// backwards: the fraction still counts the time of day forwards, in absolute value.
// So -1.25 is 1899-12-29 06:00 (one day back, then a quarter day into that day),
// not 1899-12-28 18:00, and -0.5 is noon of 1899-12-30 just as 0.5 is.
//
// Dates carry whole seconds. Pure arithmetic: the clock and the time zone are the
// platform's business.

#include <optional>
#include <string>
#include <string_view>

namespace quillet {

using Date = double;

struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const DateTime&) const = default;
};

// The date for calendar fields, which need not be in range: month 13 is January of
// the next year, day 0 the last day of the month before, second 60 the next minute.
// Error 6 "Overflow" when the result lies outside the years 100 to 9999.
Date date_from_parts(const DateTime& parts);

// The calendar fields of a date, rounded to the nearest second. Error 6
// "Overflow" for values outside the years 100 to 9999 (and for NaN).
DateTime parts_from_date(Date date);

// Midnight of the date's day: the whole part, which for dates before 1899-12-30
// means rounding towards zero, since the fraction of those counts forwards.
Date whole_day(Date date);

// Formats a date with the pieces yyyy (four-digit year), yy (two-digit year),
// mm (month), dd (day), HH (hour, 24-hour clock), nn (minute) and ss (second),
// all but yyyy with two digits; every other character is copied as it stands.
// format_date(d, "yyyy-mm-dd") is "2024-03-05".
std::string format_date(Date date, std::string_view format);

// The date written as "yyyy-mm-dd" (exactly that form: four digits, hyphen, two
// digits, hyphen, two digits) when it names a real calendar day in the years 100
// to 9999; empty otherwise ("2024-02-30" is no date).
std::optional<Date> parse_iso_date(std::string_view text);
bool is_iso_date(std::string_view text);

}  // namespace quillet
