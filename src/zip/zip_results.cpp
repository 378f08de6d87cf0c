#include "zip/zip_results.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

#include "platform/platform.h"
#include "zip/zip32.h"

namespace quillet {

namespace {

struct ResultText {
    std::int32_t code;
    const char* text;
};

// Generated at build time from resources/zip_results.txt.
constexpr ResultText kResultTexts[] = {
#include "zip_results_table.inc"
};

}  // namespace

std::string zip_result_text(std::int32_t code) {
    const auto found = std::find_if(std::begin(kResultTexts), std::end(kResultTexts),
                                    [code](const ResultText& entry) { return entry.code == code; });
    if (found == std::end(kResultTexts)) return "Unknown error " + std::to_string(code);
    return found->text;
}

std::int32_t zip_result_of_unmade_folder() {
    return platform::last_error() == ENOENT ? zip32::ZE_CREAT : zip32::ZE_TEMP;
}

}  // namespace quillet
