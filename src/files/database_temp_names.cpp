#include "files/database_temp_names.h"

#include <algorithm>
#include <numeric>
#include <random>

#include "platform/platform.h"
#include "text/numbers.h"
#include "text/paths.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {

namespace {

unsigned seconds_since_midnight() {
    const platform::LocalTime now = platform::local_time_now();
    return static_cast<unsigned>(now.hour * 3600 + now.minute * 60 + now.second);
}

// A file name without an extension keeps its whole path, so that the temporary
// file still lies beside the target, as the file copy has it.
std::string stem_of(const std::string& target) {
    const std::string base = lib_basConversion::lib_GetFileBase(target, true);
    return lib_basConversion::lib_GetFileBase(target, false).empty() ? target : base;
}

}  // namespace

TemporaryNames::TemporaryNames(const std::string& target) : stem_(stem_of(target)) {
    std::iota(numbers_.begin(), numbers_.end(), 0);
    std::shuffle(numbers_.begin(), numbers_.end(), std::minstd_rand(seconds_since_midnight()));
}

std::string TemporaryNames::draw(std::initializer_list<std::string> taken) {
    while (next_ < numbers_.size()) {
        std::string candidate = stem_ + ".~" + two_digits(numbers_[next_++]);
        const bool is_taken = std::find(taken.begin(), taken.end(), candidate) != taken.end();
        if (!is_taken && !platform::attributes(candidate)) return candidate;
    }
    throw vb::error(vb::kFileAlreadyExists);
}

}  // namespace quillet::lib_basFile
