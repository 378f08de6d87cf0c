#pragma once
// The error handler of a start-up routine: whatever was thrown is reported as a
// run-time error under the routine's name, and the caller carries on.

#include <string>

namespace quillet {

// Call only from a catch block: reports the exception being handled through
// lib_ErrorHandler with the given source.
void ReportTrappedError(const std::string& source);

}  // namespace quillet
