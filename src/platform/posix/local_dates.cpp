// The clock and the time zone: moments (Unix times, Windows file times) as local
// dates and back. Dates carry whole seconds; the sub-second part of a moment is
// dropped, as the system-time form that the dates were made from dropped it.

#include <ctime>

#include "platform/platform.h"
#include "platform/time_units.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

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

Date local_date_from_file_time(FileTime time) { return local_date_from_unix(time_units::unix_from_file_time(time)); }
FileTime file_time_from_local_date(Date date) { return time_units::file_time_from_unix(unix_from_local_date(date)); }

}  // namespace quillet::platform
