#include "text/dates.h"

#include <gtest/gtest.h>

#include "text/vb_errors.h"

namespace quillet {
namespace {

DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime{year, month, day, hour, minute, second};
}

TEST(Dates, DaysCountFromTheEndOf1899AndBeforeItTheFractionStillCountsForward) {
    EXPECT_EQ(date_from_parts(at(2010, 10, 1, 14, 37)), 40452.0 + (14 * 60 + 37) / 1440.0);
    EXPECT_EQ(date_from_parts(at(1899, 12, 29, 6)), -1.25);
    EXPECT_EQ(parts_from_date(-0.5), at(1899, 12, 30, 12));
    EXPECT_EQ(whole_day(-1.25), -1.0);
    EXPECT_EQ(whole_day(-0.5), 0.0);
    for (const DateTime& parts : {at(100, 1, 1), at(1600, 2, 29, 23, 59, 59), at(1899, 12, 29, 23, 59, 59),
                                  at(9999, 12, 31, 23, 59, 59)}) {
        EXPECT_EQ(parts_from_date(date_from_parts(parts)), parts) << parts.year << "-" << parts.month;
    }
}

TEST(Dates, FieldsOutOfRangeCarryOverAndYearsOutside100To9999Overflow) {
    EXPECT_EQ(date_from_parts(at(2023, 13, 1)), date_from_parts(at(2024, 1, 1)));
    EXPECT_EQ(date_from_parts(at(2024, 3, 0)), date_from_parts(at(2024, 2, 29)));
    EXPECT_EQ(date_from_parts(at(2024, 1, 1, 0, 0, -1)), date_from_parts(at(2023, 12, 31, 23, 59, 59)));
    // Just short of midnight rounds to the next day's midnight.
    EXPECT_EQ(parts_from_date(45357.0 - 1e-7), at(2024, 3, 6));
    EXPECT_EQ(parts_from_date(-1.9999999), at(1899, 12, 30));
    for (const double date : {-657435.0, 2958466.0, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(parts_from_date(date), Error) << date;
    }
    EXPECT_THROW(date_from_parts(at(99, 12, 31)), Error);
    EXPECT_THROW(date_from_parts(at(10000, 1, 1)), Error);
}

TEST(Dates, FormattingAndIsoDateText) {
    const Date date = date_from_parts(at(2024, 3, 5, 9, 7, 3));
    EXPECT_EQ(format_date(date, "dd/mm/yy, HH:nn:ss, "), "05/03/24, 09:07:03, ");
    EXPECT_EQ(format_date(date_from_parts(at(812, 1, 1)), "yyyy y"), "0812 y");

    EXPECT_EQ(parse_iso_date("2024-02-29"), date_from_parts(at(2024, 2, 29)));
    for (const char* text : {"2024-02-30", "1900-02-29", "2024-13-01", "2024-00-10", "2024-3-5", "2024-03-05 ",
                             "2024/03/05", ""}) {
        EXPECT_FALSE(is_iso_date(text)) << text;
    }
}

}  // namespace
}  // namespace quillet
