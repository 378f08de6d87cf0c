#pragma once
// The time an entry keeps of its file. The entry's own field holds a local date
// from 1980 to 2107 in two-second steps: a time outside those years is held at the
// nearer end (libzip would keep its day and month under another year). Beside it,
// the extended timestamp field keeps the moment to the second from 1901 to 2038,
// and the tools that read it (7-Zip, unzip) restore that.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>

namespace quillet::zip32 {

inline constexpr std::uint16_t kExtendedTimestampField = 0x5455;

// The time for the entry's own field.
std::time_t entry_field_time(std::time_t modified);

// The extended timestamp field's data: its flags (the time of last modification
// only), then that time in seconds since 1970 UTC, four bytes little-endian. Empty
// when the time does not fit them, or comes before 1970.
std::optional<std::array<std::uint8_t, 5>> extended_timestamp(std::time_t modified);

}  // namespace quillet::zip32
