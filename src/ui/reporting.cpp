#include "ui/reporting.h"

#include <new>

#include "platform/platform.h"
#include "text/error.h"
#include "text/password_masking.h"
#include "ui/error_report.h"
#include "ui/failure_log.h"
#include "ui/front_end.h"
#include "ui/msgbox.h"

namespace quillet {

bool ShowErrorDetails = false;

namespace {

constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInternalError = 51;

void show_report(const std::string& source, std::int32_t number, const std::string& description,
                 const std::string& details, std::int16_t countdown) {
    std::string text = ComposeErrorReport(source, number, description, details);
    if (!ShowErrorDetails) text = "The application has encountered an error";
    if (IsWarningError(number)) {
        lib_MsgBoxWarning(text, countdown);
    } else {
        lib_MsgBoxError(text, countdown);
    }
}

// The reporter's own failure goes to the system's box, the one thing left.
void report_fatal(std::int32_t number, const std::string& description) {
    // The description may quote command line text; its passwords show nowhere.
    const std::string text = MaskPasswords("Fatal Error: the system encountered an error within the error handler\r\n(" +
                                           std::to_string(number) + ") " + description);
    MsgBoxRequest = text;
    try {
        LogShownFailure(platform::Severity::error, text);
        front_end().show_fatal_error(text);
    } catch (...) {
        // Nothing is left to report with.
    }
}

}  // namespace

void lib_ErrorHandler(const std::string& source, std::int32_t number, const std::string& description, bool show,
                      const std::string& details, std::int16_t countdown) {
    if (!show) return;
    try {
        show_report(source, number, description, details, countdown);
    } catch (const Error& error) {
        report_fatal(error.number(), error.description());
    } catch (const std::bad_alloc&) {
        report_fatal(kOutOfMemory, "Out of memory");
    } catch (const std::exception& error) {
        report_fatal(kInternalError, error.what());
    }
}

}  // namespace quillet
