#include "zip/entry_times.h"

#include <algorithm>
#include <limits>

#include "platform/platform.h"
#include "text/dates.h"

namespace quillet::zip32 {

namespace {

std::time_t local_moment(const DateTime& parts) {
    return static_cast<std::time_t>(platform::unix_from_local_date(date_from_parts(parts)).seconds);
}

}  // namespace

std::time_t entry_field_time(std::time_t modified) {
    // The time zone stays the same for a run.
    static const std::time_t first = local_moment({1980, 1, 1, 0, 0, 0});
    static const std::time_t last = local_moment({2107, 12, 31, 23, 59, 58});
    return std::clamp(modified, first, last);
}

std::optional<std::array<std::uint8_t, 5>> extended_timestamp(std::time_t modified) {
    // Signed in its definition, but read unsigned by some tools: a time before 1970
    // would come back after 2038, where the entry's own field holds it at 1980.
    if (modified < 0 || modified > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    const auto seconds = static_cast<std::uint32_t>(modified);
    constexpr std::uint8_t kModificationTime = 1;
    return std::array<std::uint8_t, 5>{kModificationTime, static_cast<std::uint8_t>(seconds),
                                       static_cast<std::uint8_t>(seconds >> 8),
                                       static_cast<std::uint8_t>(seconds >> 16),
                                       static_cast<std::uint8_t>(seconds >> 24)};
}

}  // namespace quillet::zip32
