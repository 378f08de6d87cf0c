#pragma once
// The run-time errors of the language the program was written in. Failures of the
// host are raised with these numbers and texts so that reports read as they always did.

#include <cstdint>
#include <string>

#include "text/error.h"

namespace quillet::vb {

inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kFileAlreadyExists = 58;
inline constexpr std::int32_t kDiskFull = 61;
inline constexpr std::int32_t kDeviceUnavailable = 68;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccessError = 75;
inline constexpr std::int32_t kPathNotFound = 76;
inline constexpr std::int32_t kCannotCreateObject = 429;

// The language's own text for a run-time error number; "Application-defined or
// object-defined error" for numbers it does not know.
std::string error_text(std::int32_t number);

// The error as the language raises it: its number, its text, the given source.
Error error(std::int32_t number, std::string source = {});

}  // namespace quillet::vb
