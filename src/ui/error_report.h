#pragma once
// The fixed layout of an error report: the opening line, an empty line, the
// number part by kind, the description and the details.

#include <cstdint>
#include <string>

namespace quillet {

// Database errors lie below the library's own numbers, application-defined ones
// from there up to 65535 above the object-error base, everything else is the
// system's (the language's run-time errors included).
enum class ErrorKind { none, sql, app, sys };

// The number less the object-error base.
std::int64_t ErrorOffset(std::int32_t number);
ErrorKind ClassifyError(std::int32_t number);
// "(&H80040005)(SQL 5) ", "(&H800403E9)(AppDef 1001) ", "(53) ", or empty for 0.
std::string ErrorNumberPart(std::int32_t number);
std::string ComposeErrorReport(const std::string& source, std::int32_t number, const std::string& description,
                               const std::string& details);
// Application-defined errors above the library's own first number warn rather than
// alarm.
bool IsWarningError(std::int32_t number);

}  // namespace quillet
