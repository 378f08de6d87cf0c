#include "zip/stored_blocks.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "zip/source_function.h"

namespace quillet::zip32 {

namespace {

constexpr std::size_t kReadSize = 64 * 1024;

class StoredBlocks final : public SourceFunction {
public:
    explicit StoredBlocks(zip_source_t* file) : file_(file), input_(kReadSize) {}
    ~StoredBlocks() override {
        end_stream();
        zip_source_free(file_);
    }

private:
    zip_int64_t serve(void* data, zip_uint64_t length, zip_source_cmd_t command) override {
        switch (command) {
            case ZIP_SOURCE_OPEN:
                return open();
            case ZIP_SOURCE_READ:
                return read(static_cast<Bytef*>(data), length);
            case ZIP_SOURCE_CLOSE:
                end_stream();
                zip_source_close(file_);
                return 0;
            case ZIP_SOURCE_STAT:
                return stat(data, length);
            case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
                if (length < sizeof(zip_file_attributes_t)) return failed(ZIP_ER_INVAL);
                return zip_source_get_file_attributes(file_, static_cast<zip_file_attributes_t*>(data)) < 0
                           ? failed_in(file_)
                           : 0;
            default:
                return failed(ZIP_ER_OPNOTSUPP);
        }
    }

    zip_int64_t open() {
        if (zip_source_open(file_) < 0) return failed_in(file_);
        stream_ = z_stream{};
        // Level 0 writes stored blocks; a negative window size, no zlib header.
        if (deflateInit2(&stream_, 0, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
            zip_source_close(file_);
            return failed(ZIP_ER_MEMORY);
        }
        streaming_ = true;
        input_ended_ = finished_ = false;
        crc_ = crc32(0, nullptr, 0);
        return 0;
    }

    zip_int64_t read(Bytef* data, zip_uint64_t length) {
        stream_.next_out = data;
        stream_.avail_out = static_cast<uInt>(std::min<zip_uint64_t>(length, UINT_MAX));
        const uInt wanted = stream_.avail_out;
        while (stream_.avail_out > 0 && !finished_) {
            if (stream_.avail_in == 0 && !input_ended_ && !read_input()) return -1;
            const int result = deflate(&stream_, input_ended_ ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_END) {
                finished_ = true;
            } else if (result != Z_OK && result != Z_BUF_ERROR) {
                return failed(ZIP_ER_INTERNAL);
            }
        }
        return wanted - stream_.avail_out;
    }

    bool read_input() {
        const zip_int64_t got = zip_source_read(file_, input_.data(), input_.size());
        if (got < 0) {
            failed_in(file_);
            return false;
        }
        input_ended_ = got == 0;
        crc_ = crc32(crc_, input_.data(), static_cast<uInt>(got));
        stream_.next_in = input_.data();
        stream_.avail_in = static_cast<uInt>(got);
        return true;
    }

    // The file's own facts, as a deflated entry; the checksum once it is all read.
    zip_int64_t stat(void* data, zip_uint64_t length) {
        if (length < sizeof(zip_stat_t)) return failed(ZIP_ER_INVAL);
        auto* facts = static_cast<zip_stat_t*>(data);
        if (zip_source_stat(file_, facts) < 0) return failed_in(file_);
        facts->comp_method = ZIP_CM_DEFLATE;
        facts->valid = (facts->valid | ZIP_STAT_COMP_METHOD) & ~(ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC);
        if (finished_) {
            facts->crc = static_cast<zip_uint32_t>(crc_);
            facts->valid |= ZIP_STAT_CRC;
        }
        return sizeof(zip_stat_t);
    }

    void end_stream() {
        if (streaming_) deflateEnd(&stream_);
        streaming_ = false;
    }

    zip_source_t* file_;
    std::vector<Bytef> input_;
    z_stream stream_{};
    bool streaming_ = false;
    bool input_ended_ = false;
    bool finished_ = false;
    uLong crc_ = 0;
};

// The file with its time and attributes, framed as stored blocks.
zip_source* stored_blocks_source(zip* archive, const std::string& native_path) {
    zip_source_t* file = zip_source_file(archive, native_path.c_str(), 0, -1);
    if (file == nullptr) return nullptr;
    // Without a source, the file's goes with the blocks.
    return SourceFunction::make(archive, std::make_unique<StoredBlocks>(file));
}

}  // namespace

zip_source* file_entry_source(zip* archive, const std::string& native_path, bool stored_blocks) {
    return stored_blocks ? stored_blocks_source(archive, native_path)
                         : zip_source_file(archive, native_path.c_str(), 0, -1);
}

}  // namespace quillet::zip32
