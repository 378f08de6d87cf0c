#pragma once
// Libraries that most runs never need (libzip, SQLite, GIO) cost every run
// milliseconds to map and relocate at start-up. The program keeps the code that
// uses them in modules of its own, loaded the first time a run needs one; each
// module hands out one table of functions from an entry point of a plain
// (extern "C") name. Test programs link the same code in instead.

#include <iostream>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillet::platform {

// The table that a module's entry point (a function taking nothing and returning
// a pointer to it) hands out; null when the module cannot be loaded, after one
// line on standard error and in the system log that names what is missing and why.
template <typename Table>
const Table* load_module_table(std::string_view file_name, const char* entry, std::string_view what) {
    std::string failure;
    if (const auto module = load_program_module(file_name, failure)) {
        if (const auto hand_out = module->entry_point<const Table*()>(entry)) return hand_out();
        failure = std::string(file_name) + " has no entry point " + entry;
    }
    const std::string line = "cannot load " + std::string(what) + ": " + failure;
    std::cerr << executable_name() << ": " << line << std::endl;
    system_log(Severity::error, line);
    return nullptr;
}

}  // namespace quillet::platform
