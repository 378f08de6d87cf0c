#include "zip/zip_results.h"

#include <algorithm>
#include <iterator>

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

}  // namespace quillet
