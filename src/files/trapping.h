#pragma once
// The library's way with run-time errors: a routine reports an error through
// lib_ErrorHandler under its own name ("Base7." + routine), with a detail text such
// as "Path:" + path, and raises it again to its caller under that name.

#include <string>
#include <utility>

#include "text/error.h"
#include "ui/reporting.h"

namespace quillet::lib_basFile {

template <typename Work>
auto report_and_raise_again(const std::string& source, const std::string& details, Work&& work) -> decltype(work()) {
    try {
        return std::forward<Work>(work)();
    } catch (const Error& error) {
        lib_ErrorHandler(source, error.number(), error.description(), true, details);
        throw error.with_source(source);
    }
}

}  // namespace quillet::lib_basFile
