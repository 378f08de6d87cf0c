#include "zip/taken_entry.h"

#include <zip.h>

#include <cstring>
#include <memory>

#include "zip/source_function.h"

namespace quillet::zip32 {

namespace {

class TakenEntry final : public SourceFunction {
public:
    TakenEntry(zip_t* archive, EntryWorkers& workers, std::size_t number, std::function<void()> waiting)
        : archive_(archive), workers_(workers), number_(number), waiting_(std::move(waiting)) {}
    ~TakenEntry() override { let_go(); }

private:
    zip_int64_t serve(void* data, zip_uint64_t length, zip_source_cmd_t command) override {
        switch (command) {
            case ZIP_SOURCE_STAT:
                return take() ? copy_out(data, length, stat_) : -1;
            case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
                return take() ? copy_out(data, length, attributes_) : -1;
            case ZIP_SOURCE_OPEN:
                if (!take()) return -1;
                return zip_source_open(entry_) < 0 ? failed_in(entry_) : 0;
            case ZIP_SOURCE_READ: {
                const zip_int64_t read = zip_source_read(entry_, data, length);
                return read < 0 ? failed_in(entry_) : read;
            }
            case ZIP_SOURCE_CLOSE:
                zip_source_close(entry_);
                let_go();  // what the archive asks after this was kept
                return 0;
            default:
                return failed(ZIP_ER_OPNOTSUPP);
        }
    }

    // Waits for the entry once, and reads what the archive will ask of it.
    bool take() {
        if (taken_) return ok_;
        taken_ = true;
        const ScratchEntry& made = workers_.take(number_, waiting_);
        if (made.archive == nullptr) {
            failed(made.zip_error, made.system_error);
            return false;
        }
        zip_source_keep(made.archive);
        zip_error_t opening;
        zip_error_init(&opening);
        scratch_ = zip_open_from_source(made.archive, ZIP_RDONLY, &opening);
        if (scratch_ == nullptr) {
            zip_source_free(made.archive);
            failed(zip_error_code_zip(&opening), zip_error_code_system(&opening));
            zip_error_fini(&opening);
            return false;
        }
        zip_error_fini(&opening);
        // The bytes as stored: neither decrypted nor decompressed.
        entry_ = zip_source_zip(archive_, scratch_, 0, ZIP_FL_COMPRESSED | ZIP_FL_ENCRYPTED, 0, 0);
        if (entry_ == nullptr) {
            const zip_error_t* cause = zip_get_error(archive_);
            failed(zip_error_code_zip(cause), zip_error_code_system(cause));
            return false;
        }
        if (zip_source_stat(entry_, &stat_) < 0 || zip_source_get_file_attributes(entry_, &attributes_) < 0) {
            failed_in(entry_);
            return false;
        }
        // The name is the scratch archive's, gone with it; the archive names the entry.
        stat_.valid &= ~(ZIP_STAT_NAME | ZIP_STAT_INDEX);
        stat_.name = nullptr;
        // An encrypted entry of under 20 bytes keeps no checksum (AE-2); the archive
        // writes none for it either, but wants one given.
        if ((stat_.valid & ZIP_STAT_CRC) == 0) {
            stat_.crc = 0;
            stat_.valid |= ZIP_STAT_CRC;
        }
        ok_ = true;
        return true;
    }

    template <typename Value>
    zip_int64_t copy_out(void* data, zip_uint64_t length, const Value& value) {
        if (length < sizeof value) return failed(ZIP_ER_INVAL);
        std::memcpy(data, &value, sizeof value);
        return static_cast<zip_int64_t>(sizeof value);
    }

    void let_go() {
        if (entry_ != nullptr) zip_source_free(entry_);
        entry_ = nullptr;
        if (scratch_ != nullptr) zip_discard(scratch_);
        scratch_ = nullptr;
        if (taken_ && !released_) workers_.release(number_);
        released_ = taken_;
    }

    zip_t* archive_;
    EntryWorkers& workers_;
    std::size_t number_;
    std::function<void()> waiting_;
    bool taken_ = false;
    bool ok_ = false;
    bool released_ = false;
    zip_t* scratch_ = nullptr;
    zip_source_t* entry_ = nullptr;
    zip_stat_t stat_{};
    zip_file_attributes_t attributes_{};
};

}  // namespace

zip_source* taken_entry_source(zip* archive, EntryWorkers& workers, std::size_t number,
                               std::function<void()> waiting) {
    return SourceFunction::make(archive, std::make_unique<TakenEntry>(archive, workers, number, std::move(waiting)));
}

}  // namespace quillet::zip32
