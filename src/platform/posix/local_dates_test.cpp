#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "text/error.h"

namespace quillet::platform {
namespace {

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
}

}  // namespace
}  // namespace quillet::platform
