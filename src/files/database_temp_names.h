#pragma once
// Temporary names beside a target that is written whole before it takes its name
// (a compacted database, a fresh archive): the target without its extension, ".~"
// and two digits, as a file copy names its temporary file.

#include <array>
#include <initializer_list>
#include <string>

namespace quillet::lib_basFile {

class TemporaryNames {
public:
    // The numbers are drawn at random, seeded from the time of day once for all the
    // names of one target, so no two of its names share a number.
    explicit TemporaryNames(const std::string& target);

    // The next name that names nothing on disk and is none of `taken`. Error 58
    // "File already exists" when all hundred are in use.
    std::string draw(std::initializer_list<std::string> taken);

private:
    static constexpr int kCount = 100;  // ".~00" to ".~99"
    std::string stem_;
    std::array<int, kCount> numbers_{};
    std::size_t next_ = 0;
};

}  // namespace quillet::lib_basFile
