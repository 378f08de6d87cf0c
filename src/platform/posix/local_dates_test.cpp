#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "text/error.h"

namespace quillet::platform {
namespace {

constexpr std::int64_t kDay = 86'400;
constexpr Date kUnixEpochDate = 25'569.0;

DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime{year, month, day, hour, minute, second};
}

// Central European time, written out so that it needs no time zone files.
class LocalDates : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* zone = getenv("TZ")) saved_zone_ = zone;
        use_zone("CET-1CEST,M3.5.0,M10.5.0/3");
    }
    void TearDown() override {
        if (saved_zone_) {
            setenv("TZ", saved_zone_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    static void use_zone(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }

    std::optional<std::string> saved_zone_;
};

TEST_F(LocalDates, UtcDatesCountFromTheUnixEpoch) {
    EXPECT_EQ(utc_date_from_unix({0, 0}), kUnixEpochDate);
    EXPECT_EQ(utc_date_from_unix({kDay / 2, 999'999'999}), kUnixEpochDate + 0.5);
    EXPECT_EQ(parts_from_date(utc_date_from_unix({-1, 0})), at(1969, 12, 31, 23, 59, 59));
    EXPECT_EQ(parts_from_date(utc_date_from_unix({-2'209'161'600 - kDay / 4, 0})), at(1899, 12, 29, 18));

    for (const DateTime& parts : {at(1601, 1, 1), at(1899, 12, 29, 6), at(1969, 7, 20, 20, 17, 40),
                                  at(2038, 1, 19, 3, 14, 8), at(9999, 12, 31, 23, 59, 59)}) {
        const Date date = date_from_parts(parts);
        EXPECT_EQ(utc_date_from_unix(unix_from_utc_date(date)), date) << parts.year;
    }
}

TEST_F(LocalDates, FileTimesKeepTheirSecondsOnly) {
    EXPECT_EQ(utc_date_from_file_time(kUnixEpochFileTime), kUnixEpochDate);
    EXPECT_EQ(file_time_from_utc_date(kUnixEpochDate), kUnixEpochFileTime);
    // A tenth of a microsecond before 1970 is still the last second of 1969.
    EXPECT_EQ(parts_from_date(utc_date_from_file_time(kUnixEpochFileTime - 1)), at(1969, 12, 31, 23, 59, 59));
    EXPECT_EQ(utc_date_from_file_time(kUnixEpochFileTime + 9'999'999), kUnixEpochDate);
    EXPECT_EQ(file_time_from_utc_date(date_from_parts(at(1601, 1, 1))), 0);
}

TEST_F(LocalDates, LocalDatesFollowTheZoneAndItsSummerTime) {
    const UnixTime winter_noon = unix_from_utc_date(date_from_parts(at(2024, 1, 15, 12)));
    const UnixTime summer_noon = unix_from_utc_date(date_from_parts(at(2024, 7, 1, 12)));
    EXPECT_EQ(parts_from_date(local_date_from_unix(winter_noon)), at(2024, 1, 15, 13));
    EXPECT_EQ(parts_from_date(local_date_from_unix(summer_noon)), at(2024, 7, 1, 14));
    EXPECT_EQ(unix_from_local_date(date_from_parts(at(2024, 7, 1, 14))).seconds, summer_noon.seconds);
    const FileTime winter_file_time = kUnixEpochFileTime + winter_noon.seconds * 10'000'000;
    EXPECT_EQ(parts_from_date(local_date_from_file_time(winter_file_time)), at(2024, 1, 15, 13));
    EXPECT_EQ(file_time_from_local_date(local_date_from_file_time(winter_file_time)), winter_file_time);
}

TEST_F(LocalDates, NowIsTheLocalClock) {
    use_zone("UTC0");
    const Date before = utc_date_from_unix({std::time(nullptr), 0});
    const Date current = now();
    const Date after = utc_date_from_unix({std::time(nullptr), 0});
    EXPECT_LE(before, current);
    EXPECT_LE(current, after);
}

TEST_F(LocalDates, DatesOutsideTheCalendarOverflow) {
    EXPECT_THROW(unix_from_local_date(1e9), Error);
    EXPECT_THROW(utc_date_from_unix({std::int64_t{1} << 60, 0}), Error);
}

}  // namespace
}  // namespace quillet::platform
