#include "zip/worth_compressing.h"

#include <zip.h>
#include <zlib.h>

#include <vector>

namespace quillet::zip32 {

namespace {

// Below this a file costs little to deflate whatever it holds, and a sample of it
// would cost a noticeable part of that.
constexpr std::uint64_t kJudgedFrom = 1024 * 1024;
constexpr std::size_t kSampleSize = 64 * 1024;
// The sample must shrink by more than this, in hundredths, at deflate's fastest.
constexpr unsigned long kLeastGainPercent = 2;

// Bytes of the file from an offset, read through libzip as the archive reads
// it; empty when they cannot be read.
std::vector<unsigned char> sample_of(const std::string& native_path, std::uint64_t offset) {
    std::vector<unsigned char> sample(kSampleSize);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* file = zip_source_file_create(native_path.c_str(), offset, kSampleSize, &error);
    zip_error_fini(&error);
    if (file == nullptr) return {};
    zip_int64_t got = -1;
    if (zip_source_open(file) == 0) {
        got = zip_source_read(file, sample.data(), sample.size());
        zip_source_close(file);
    }
    zip_source_free(file);
    sample.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return sample;
}

bool shrinks(const std::vector<unsigned char>& sample) {
    uLongf packed_size = compressBound(sample.size());
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, sample.data(), sample.size(), Z_BEST_SPEED) != Z_OK) return true;
    return packed_size * 100 < sample.size() * (100 - kLeastGainPercent);
}

}  // namespace

bool worth_compressing(const std::string& native_path, std::uint64_t size) {
    if (size < kJudgedFrom) return true;
    // Packed data may still hold long stretches that deflate well (a disk image
    // with a packed start, a database with packed pages first): three places.
    for (const std::uint64_t offset : {std::uint64_t{0}, size / 2, size - kSampleSize}) {
        const std::vector<unsigned char> sample = sample_of(native_path, offset);
        if (sample.empty() || shrinks(sample)) return true;
    }
    return false;
}

}  // namespace quillet::zip32
