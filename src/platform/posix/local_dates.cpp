// The clock and the time zone: moments (Unix times, Windows file times) as local
// dates and back. Dates carry whole seconds; the sub-second part of a moment is
// dropped, as the system-time form that the dates were made from dropped it.

#include <ctime>

#include "platform/platform.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::int64_t kFileTimeUnitsPerSecond = 10'000'000;
constexpr std::int64_t kNanosecondsPerFileTimeUnit = 100;
// 1970-01-01 as a date, and the widest span of days a date can hold either way.
constexpr std::int64_t kUnixEpochDate = 25'569;
constexpr std::int64_t kDaySpan = 4'000'000;

std::int64_t floor_div(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

Date date_from_calendar(const std::tm& calendar) {
    return date_from_parts(DateTime{calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday,
                                    calendar.tm_hour, calendar.tm_min, calendar.tm_sec});
}

std::tm calendar_from_date(Date date) {
    const DateTime parts = parts_from_date(date);
    std::tm calendar{};
    calendar.tm_year = parts.year - 1900;
    calendar.tm_mon = parts.month - 1;
    calendar.tm_mday = parts.day;
    calendar.tm_hour = parts.hour;
    calendar.tm_min = parts.minute;
    calendar.tm_sec = parts.second;
    return calendar;
}

UnixTime unix_from_file_time(FileTime time) {
    const std::int64_t units = time - kUnixEpochFileTime;
    const std::int64_t seconds = floor_div(units, kFileTimeUnitsPerSecond);
    const std::int64_t rest = units - seconds * kFileTimeUnitsPerSecond;
    return UnixTime{seconds, static_cast<std::int32_t>(rest * kNanosecondsPerFileTimeUnit)};
}

FileTime file_time_from_unix(UnixTime time) {
    return kUnixEpochFileTime + time.seconds * kFileTimeUnitsPerSecond + time.nanoseconds / kNanosecondsPerFileTimeUnit;
}

}  // namespace

Date now() {
    std::timespec moment{};
    std::timespec_get(&moment, TIME_UTC);
    return local_date_from_unix(UnixTime{moment.tv_sec, static_cast<std::int32_t>(moment.tv_nsec)});
}

Date local_date_from_unix(UnixTime time) {
    const std::time_t seconds = static_cast<std::time_t>(time.seconds);
    std::tm calendar{};
    if (localtime_r(&seconds, &calendar) == nullptr) throw vb::error(vb::kOverflow);
    return date_from_calendar(calendar);
}

UnixTime unix_from_local_date(Date date) {
    std::tm calendar = calendar_from_date(date);
    calendar.tm_isdst = -1;  // let the zone's rules say whether summer time applies
    calendar.tm_wday = -1;   // mktime sets it only when it succeeds
    const std::time_t seconds = std::mktime(&calendar);
    if (calendar.tm_wday == -1) throw vb::error(vb::kOverflow);
    return UnixTime{static_cast<std::int64_t>(seconds), 0};
}

Date utc_date_from_unix(UnixTime time) {
    const std::int64_t days = floor_div(time.seconds, kSecondsPerDay);
    if (days < -kDaySpan || days > kDaySpan) throw vb::error(vb::kOverflow);
    const std::int64_t second_of_day = time.seconds - days * kSecondsPerDay;
    return date_from_parts(DateTime{1970, 1, 1 + static_cast<int>(days), 0, 0, static_cast<int>(second_of_day)});
}

UnixTime unix_from_utc_date(Date date) {
    const DateTime parts = parts_from_date(date);
    const Date midnight = date_from_parts(DateTime{parts.year, parts.month, parts.day});
    const std::int64_t days = static_cast<std::int64_t>(midnight) - kUnixEpochDate;
    return UnixTime{days * kSecondsPerDay + parts.hour * 3600 + parts.minute * 60 + parts.second, 0};
}

Date local_date_from_file_time(FileTime time) { return local_date_from_unix(unix_from_file_time(time)); }
FileTime file_time_from_local_date(Date date) { return file_time_from_unix(unix_from_local_date(date)); }
Date utc_date_from_file_time(FileTime time) { return utc_date_from_unix(unix_from_file_time(time)); }
FileTime file_time_from_utc_date(Date date) { return file_time_from_unix(unix_from_utc_date(date)); }

}  // namespace quillet::platform
