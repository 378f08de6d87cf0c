#include "ui/failure_log.h"

namespace quillet {

namespace {

std::int64_t shown_failures = 0;

}  // namespace

void LogShownFailure(platform::Severity severity, std::string_view text) {
    ++shown_failures;
    platform::system_log(severity, text);
}

std::int64_t ShownFailures() { return shown_failures; }

}  // namespace quillet
