#include "ui/error_report.h"

#include <cstdio>

#include "text/error.h"

namespace quillet {

namespace {

constexpr std::int64_t kFirstAppOffset = 1000;
constexpr std::int64_t kFirstSysOffset = 65536;

std::string upper_hex(std::int32_t number) {
    char digits[9] = {};
    std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(number)));
    return digits;
}

}  // namespace

std::int64_t ErrorOffset(std::int32_t number) { return std::int64_t{number} - kObjectErrorBase; }

ErrorKind ClassifyError(std::int32_t number) {
    if (number == 0) return ErrorKind::none;
    const std::int64_t offset = ErrorOffset(number);
    if (offset < kFirstAppOffset) return ErrorKind::sql;
    if (offset < kFirstSysOffset) return ErrorKind::app;
    return ErrorKind::sys;
}

std::string ErrorNumberPart(std::int32_t number) {
    const std::string offset = std::to_string(ErrorOffset(number));
    switch (ClassifyError(number)) {
        case ErrorKind::none:
            return {};
        case ErrorKind::sql:
            return "(&H" + upper_hex(number) + ")(SQL " + offset + ") ";
        case ErrorKind::app:
            return "(&H" + upper_hex(number) + ")(AppDef " + offset + ") ";
        case ErrorKind::sys:
            break;
    }
    return "(" + std::to_string(number) + ") ";
}

std::string ComposeErrorReport(const std::string& source, std::int32_t number, const std::string& description,
                               const std::string& details) {
    std::string report = "An error has occurred in " + source + "\r\n\r\n";
    report += ErrorNumberPart(number);
    report += description;
    if (!details.empty()) report += "\r\n" + details;
    return report;
}

bool IsWarningError(std::int32_t number) {
    return ClassifyError(number) == ErrorKind::app && ErrorOffset(number) > kFirstAppOffset;
}

}  // namespace quillet
