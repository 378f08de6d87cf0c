#include <gtest/gtest.h>
#include <time.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "support/environment.h"
#include "text/error.h"

namespace quillet::platform {
namespace {

DateTime at(int year, int month, int day, int hour) { return DateTime{year, month, day, hour, 0, 0}; }

// Central European time, written out so that it needs no time zone files.
TEST(LocalDates, FollowTheZoneAndItsSummerTime) {
    const char* zone = std::getenv("TZ");
    const std::optional<std::string> saved = zone != nullptr ? std::optional<std::string>(zone) : std::nullopt;
    testing::set_environment("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();

    const UnixTime winter_noon = unix_from_utc_date(date_from_parts(at(2024, 1, 15, 12)));
    const UnixTime summer_noon = unix_from_utc_date(date_from_parts(at(2024, 7, 1, 12)));
    EXPECT_EQ(parts_from_date(local_date_from_unix(winter_noon)), at(2024, 1, 15, 13));
    EXPECT_EQ(parts_from_date(local_date_from_unix(summer_noon)), at(2024, 7, 1, 14));
    EXPECT_EQ(unix_from_local_date(date_from_parts(at(2024, 7, 1, 14))).seconds, summer_noon.seconds);
    const FileTime winter_file_time = kUnixEpochFileTime + winter_noon.seconds * 10'000'000;
    EXPECT_EQ(parts_from_date(local_date_from_file_time(winter_file_time)), at(2024, 1, 15, 13));
    EXPECT_EQ(file_time_from_local_date(local_date_from_file_time(winter_file_time)), winter_file_time);
    EXPECT_THROW(unix_from_local_date(1e9), Error);  // beyond the calendar
    // The clock, now(), names every snapshot: the end-to-end tests, under a clock of their own.

    saved ? testing::set_environment("TZ", *saved) : testing::unset_environment("TZ");
    tzset();
}

}  // namespace
}  // namespace quillet::platform
