#include "text/vb_errors.h"

#include <array>
#include <utility>

namespace quillet::vb {

namespace {

struct KnownError {
    std::int32_t number;
    const char* text;
};

constexpr std::array kKnownErrors{
    KnownError{kOverflow, "Overflow"},
    KnownError{kSubscriptOutOfRange, "Subscript out of range"},
    KnownError{kFileNotFound, "File not found"},
    KnownError{kFileAlreadyExists, "File already exists"},
    KnownError{kDiskFull, "Disk full"},
    KnownError{kDeviceUnavailable, "Device unavailable"},
    KnownError{kPermissionDenied, "Permission denied"},
    KnownError{kPathFileAccessError, "Path/File access error"},
    KnownError{kPathNotFound, "Path not found"},
    KnownError{kCannotCreateObject, "ActiveX component can't create object"},
};

}  // namespace

std::string error_text(std::int32_t number) {
    for (const auto& known : kKnownErrors) {
        if (known.number == number) return known.text;
    }
    return "Application-defined or object-defined error";
}

Error error(std::int32_t number, std::string source) {
    return Error(number, std::move(source), error_text(number));
}

}  // namespace quillet::vb
