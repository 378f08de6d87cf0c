#pragma once
// The temporary names ".~NN" a file takes before its own: the target without its
// extension, ".~" and two digits drawn at random. A copy takes one beside its
// target; a compaction draws its work names inside its own work folder.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <random>
#include <string>

namespace quillet::lib_basFile {

inline constexpr std::size_t kTemporarySuffix = 4;  // ".~NN"

// The target without its extension, cut so that the name still takes the suffix.
// A file name without an extension keeps its whole path, so that the temporary
// file still lies beside the target.
std::string temporary_stem(const std::string& target);

// The numbers 00 to 99 in an order drawn at random, seeded from the time of day,
// each at most once. Drawn one at a time: most copies need only the first.
class TemporaryNumbers {
public:
    TemporaryNumbers();

    bool exhausted() const { return left_ == 0; }
    int draw();

private:
    static constexpr int kCount = 100;  // ".~00" to ".~99"
    std::array<int, kCount> numbers_{};
    int left_ = kCount;
    std::minstd_rand random_;
};

// The names a compaction works under: each free on disk, and none given twice.
class TemporaryNames {
public:
    explicit TemporaryNames(const std::string& target) : stem_(temporary_stem(target)) {}

    // The next name that names nothing on disk and is none of `taken`. Error 58
    // "File already exists" when all hundred are in use.
    std::string draw(std::initializer_list<std::string> taken);

private:
    std::string stem_;
    TemporaryNumbers numbers_;
};

}  // namespace quillet::lib_basFile
