#pragma once
// Moments in the two counts the hosts keep, and the arithmetic between them that
// every host shares (utc_dates.cpp, and each host's local dates).

#include <cstdint>

#include "platform/platform.h"

namespace quillet::platform::time_units {

inline constexpr std::int64_t kSecondsPerDay = 86'400;
inline constexpr std::int64_t kFileTimeUnitsPerSecond = 10'000'000;
inline constexpr std::int64_t kNanosecondsPerFileTimeUnit = 100;

inline std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

inline UnixTime unix_from_file_time(FileTime time) {
    const std::int64_t units = time - kUnixEpochFileTime;
    const std::int64_t seconds = floor_div(units, kFileTimeUnitsPerSecond);
    const std::int64_t rest = units - seconds * kFileTimeUnitsPerSecond;
    return UnixTime{seconds, static_cast<std::int32_t>(rest * kNanosecondsPerFileTimeUnit)};
}

inline FileTime file_time_from_unix(UnixTime time) {
    return kUnixEpochFileTime + time.seconds * kFileTimeUnitsPerSecond + time.nanoseconds / kNanosecondsPerFileTimeUnit;
}

}  // namespace quillet::platform::time_units
