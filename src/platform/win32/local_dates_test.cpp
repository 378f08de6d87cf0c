#include <gtest/gtest.h>

#include "platform/platform.h"
#include "text/error.h"

namespace quillet::platform {
namespace {

constexpr FileTime kSecond = 10'000'000;

DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime{year, month, day, hour, minute, second};
}

// Dates either side of the clock changes of the zone the test runs in, whatever
// it is; the clock; and dates outside the system's calendar.
TEST(LocalDates, FileTimesComeBackFromTheirLocalDatesAndOthersOverflow) {
    for (const DateTime& parts : {at(1601, 1, 2), at(1970, 1, 1), at(2024, 1, 15, 12, 30, 1), at(2024, 7, 1, 12),
                                  at(9999, 12, 30, 23, 59, 59)}) {
        const FileTime moment = file_time_from_utc_date(date_from_parts(parts));
        EXPECT_EQ(file_time_from_local_date(local_date_from_file_time(moment + kSecond / 2)), moment) << parts.year;
        const UnixTime unix = unix_from_local_date(local_date_from_file_time(moment));
        EXPECT_EQ(local_date_from_unix(unix), local_date_from_file_time(moment)) << parts.year;
    }
    const DateTime clock = local_time_now();
    const DateTime current = parts_from_date(now());
    const Date clock_date =
        date_from_parts(at(clock.year, clock.month, clock.day, clock.hour, clock.minute, clock.second));
    EXPECT_NEAR(date_from_parts(current), clock_date, 2.0 / 86'400);
    EXPECT_THROW(file_time_from_local_date(date_from_parts(at(1600, 12, 31))), Error);
    EXPECT_THROW(local_date_from_unix({std::int64_t{1} << 60, 0}), Error);
    EXPECT_THROW(local_date_from_file_time(-1), Error);
}

}  // namespace
}  // namespace quillet::platform
