#pragma once
// A run-time error: what the program raises, traps, reports and raises again.

#include <cstdint>
#include <exception>
#include <string>

namespace quillet {

// Errors the program raises itself are numbered from the object-error base.
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);
// The library's own errors ("Failed to copy file", the tokenizer's failures).
inline constexpr std::int32_t kLibraryError = kObjectErrorBase + 1000;

class Error : public std::exception {
public:
    Error(std::int32_t number, std::string source, std::string description);

    std::int32_t number() const { return number_; }
    const std::string& source() const { return source_; }
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

    // The same error raised again by a routine that trapped it.
    Error with_source(std::string source) const { return Error(number_, std::move(source), description_); }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

}  // namespace quillet
