#pragma once
// The temporary names ".~NN" a file takes before its own: the target without its
// extension, ".~" and two digits drawn at random. A copy takes one beside its
// target; a compaction draws its work names inside its own work folder.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>

#include "text/numbers.h"

namespace quillet::lib_basFile {

inline constexpr std::size_t kTemporarySuffix = 4;  // ".~NN"

// The names of one target, the numbers 00 to 99 in an order drawn at random,
// seeded from the time of day, each at most once. Drawn one at a time: most
// copies need only the first.
class TemporaryNames {
public:
    explicit TemporaryNames(const std::string& target);

    // The next name that `usable` takes; empty when all hundred are spent.
    template <typename Usable>
    std::optional<std::string> next(Usable&& usable) {
        while (left_ > 0) {
            std::string candidate = stem_ + ".~" + two_digits(draw_number());
            if (usable(candidate)) return candidate;
        }
        return std::nullopt;
    }

    // The next name that names nothing on disk and is none of `taken`. Error 58
    // "File already exists" when all hundred are in use.
    std::string draw(std::initializer_list<std::string> taken);

private:
    static constexpr int kCount = 100;  // ".~00" to ".~99"

    int draw_number();

    std::string stem_;
    std::array<int, kCount> numbers_{};
    int left_ = kCount;
    std::minstd_rand random_;
};

}  // namespace quillet::lib_basFile
