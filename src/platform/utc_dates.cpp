// Moments as dates without a time zone: calendar arithmetic alone, the same on
// every host.

#include "platform/platform.h"
#include "platform/time_units.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

using time_units::floor_div;
using time_units::kSecondsPerDay;

// 1970-01-01 as a date, and the widest span of days a date can hold either way.
constexpr std::int64_t kUnixEpochDate = 25'569;
constexpr std::int64_t kDaySpan = 4'000'000;

}  // namespace

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

Date utc_date_from_file_time(FileTime time) { return utc_date_from_unix(time_units::unix_from_file_time(time)); }
FileTime file_time_from_utc_date(Date date) { return time_units::file_time_from_unix(unix_from_utc_date(date)); }

}  // namespace quillet::platform
