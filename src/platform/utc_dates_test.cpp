#include <gtest/gtest.h>

#include "platform/platform.h"
#include "text/error.h"

namespace quillet::platform {
namespace {

constexpr std::int64_t kDay = 86'400;
constexpr Date kUnixEpochDate = 25'569.0;

DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime{year, month, day, hour, minute, second};
}

TEST(UtcDates, CountFromTheUnixEpochAndFileTimesKeepTheirSecondsOnly) {
    EXPECT_EQ(utc_date_from_unix({0, 0}), kUnixEpochDate);
    EXPECT_EQ(utc_date_from_unix({kDay / 2, 999'999'999}), kUnixEpochDate + 0.5);
    EXPECT_EQ(parts_from_date(utc_date_from_unix({-1, 0})), at(1969, 12, 31, 23, 59, 59));
    EXPECT_EQ(parts_from_date(utc_date_from_unix({-2'209'161'600 - kDay / 4, 0})), at(1899, 12, 29, 18));

    for (const DateTime& parts : {at(1601, 1, 1), at(1899, 12, 29, 6), at(1969, 7, 20, 20, 17, 40),
                                  at(2038, 1, 19, 3, 14, 8), at(9999, 12, 31, 23, 59, 59)}) {
        const Date date = date_from_parts(parts);
        EXPECT_EQ(utc_date_from_unix(unix_from_utc_date(date)), date) << parts.year;
    }
    EXPECT_THROW(utc_date_from_unix({std::int64_t{1} << 60, 0}), Error);

    // File times keep their seconds only.
    EXPECT_EQ(utc_date_from_file_time(kUnixEpochFileTime), kUnixEpochDate);
    EXPECT_EQ(file_time_from_utc_date(kUnixEpochDate), kUnixEpochFileTime);
    // A tenth of a microsecond before 1970 is still the last second of 1969.
    EXPECT_EQ(parts_from_date(utc_date_from_file_time(kUnixEpochFileTime - 1)), at(1969, 12, 31, 23, 59, 59));
    EXPECT_EQ(utc_date_from_file_time(kUnixEpochFileTime + 9'999'999), kUnixEpochDate);
    EXPECT_EQ(file_time_from_utc_date(date_from_parts(at(1601, 1, 1))), 0);
}

}  // namespace
}  // namespace quillet::platform
