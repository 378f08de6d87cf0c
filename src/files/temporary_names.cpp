#include "files/temporary_names.h"

#include <algorithm>
#include <numeric>

#include "platform/platform.h"
#include "text/paths.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {

namespace {

// File systems here hold names of up to 255 bytes.
constexpr std::size_t kLongestName = 255;

unsigned seconds_since_midnight() {
    const DateTime now = platform::local_time_now();
    return static_cast<unsigned>(now.hour * 3600 + now.minute * 60 + now.second);
}

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Cuts the last component so that it still takes the suffix, never inside a character.
std::string leaving_room_for_suffix(std::string stem) {
    const std::size_t last_backslash = stem.rfind('\\');
    const std::size_t name_start = last_backslash == std::string::npos ? 0 : last_backslash + 1;
    std::size_t end = name_start + (kLongestName - kTemporarySuffix);
    if (stem.size() <= end) return stem;
    while (end > name_start && is_continuation_byte(stem[end])) --end;
    stem.resize(end);
    return stem;
}

// The target without its extension, cut so that the name still takes the suffix.
// A file name without an extension keeps its whole path, so that the temporary
// file still lies beside the target.
std::string temporary_stem(const std::string& target) {
    const std::string stem =
        lib_basConversion::lib_GetFileBase(target, false).empty() ? target
                                                                  : lib_basConversion::lib_GetFileBase(target, true);
    return leaving_room_for_suffix(stem);
}

}  // namespace

TemporaryNames::TemporaryNames(const std::string& target)
    : stem_(temporary_stem(target)), random_(seconds_since_midnight()) {
    std::iota(numbers_.begin(), numbers_.end(), 0);
}

int TemporaryNames::draw_number() {
    std::uniform_int_distribution<int> pick(0, left_ - 1);
    std::swap(numbers_[static_cast<std::size_t>(pick(random_))], numbers_[static_cast<std::size_t>(left_ - 1)]);
    return numbers_[static_cast<std::size_t>(--left_)];
}

std::string TemporaryNames::draw(std::initializer_list<std::string> taken) {
    auto name = next([&](const std::string& candidate) {
        return std::find(taken.begin(), taken.end(), candidate) == taken.end() && !platform::attributes(candidate);
    });
    if (!name) throw vb::error(vb::kFileAlreadyExists);
    return std::move(*name);
}

}  // namespace quillet::lib_basFile
