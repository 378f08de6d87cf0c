#include "app/trapped_error.h"

#include <exception>
#include <new>

#include "text/error.h"
#include "ui/reporting.h"

namespace quillet {

namespace {

// The language's numbers for the failures that are not its own errors.
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInternalError = 51;

}  // namespace

void ReportTrappedError(const std::string& source) {
    try {
        throw;
    } catch (const Error& error) {
        lib_ErrorHandler(source, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        lib_ErrorHandler(source, kOutOfMemory, "Out of memory");
    } catch (const std::exception& error) {
        lib_ErrorHandler(source, kInternalError, error.what());
    }
}

}  // namespace quillet
