// The clock and the time zone: moments (Unix times, Windows file times) as local
// dates and back, by the rules of the user's time zone (SystemTimeToTzSpecific-
// LocalTime: today's rules, applied to every year; the dynamic time zone's
// functions, which know the rules of past years, are missing from Wine). Dates
// carry whole seconds; SYSTEMTIME's milliseconds are dropped. The system's
// calendar begins in 1601: an earlier local date has no moment, error 6.

#include <windows.h>

#include <cstdint>

#include "platform/platform.h"
#include "platform/time_units.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

// The seconds a file time can hold either side of 1970 (a file time is never
// negative here: the system's calendar has nothing before 1601).
constexpr std::int64_t kEarliestUnixSeconds = -kUnixEpochFileTime / time_units::kFileTimeUnitsPerSecond;
constexpr std::int64_t kLatestUnixSeconds = INT64_MAX / time_units::kFileTimeUnitsPerSecond - 11'644'473'600;

FILETIME split(FileTime time) {
    const auto value = static_cast<std::uint64_t>(time);
    return FILETIME{static_cast<DWORD>(value & 0xFFFF'FFFF), static_cast<DWORD>(value >> 32)};
}

FileTime joined(const FILETIME& time) {
    return static_cast<FileTime>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

FileTime checked_file_time(UnixTime time) {
    if (time.seconds < kEarliestUnixSeconds || time.seconds > kLatestUnixSeconds) throw vb::error(vb::kOverflow);
    return time_units::file_time_from_unix(time);
}

}  // namespace

Date now() {
    FILETIME moment{};
    GetSystemTimeAsFileTime(&moment);
    return local_date_from_file_time(joined(moment));
}

Date local_date_from_file_time(FileTime time) {
    const FILETIME utc_time = split(time);
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (time < 0 || !FileTimeToSystemTime(&utc_time, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        throw vb::error(vb::kOverflow);
    }
    return date_from_parts(DateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

FileTime file_time_from_local_date(Date date) {
    const DateTime parts = parts_from_date(date);
    if (parts.year < 1601 || parts.year > 30827) throw vb::error(vb::kOverflow);
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(parts.year);
    local.wMonth = static_cast<WORD>(parts.month);
    local.wDay = static_cast<WORD>(parts.day);
    local.wHour = static_cast<WORD>(parts.hour);
    local.wMinute = static_cast<WORD>(parts.minute);
    local.wSecond = static_cast<WORD>(parts.second);
    SYSTEMTIME utc{};
    FILETIME moment{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &moment)) {
        throw vb::error(vb::kOverflow);
    }
    return joined(moment);
}

Date local_date_from_unix(UnixTime time) { return local_date_from_file_time(checked_file_time(time)); }

UnixTime unix_from_local_date(Date date) {
    UnixTime time = time_units::unix_from_file_time(file_time_from_local_date(date));
    time.nanoseconds = 0;
    return time;
}

}  // namespace quillet::platform
