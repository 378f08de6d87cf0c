#include "zip/archive_file.h"

#include <zip.h>

#include <algorithm>
#include <chrono>

#include "platform/platform.h"
#include "zip/entry_times.h"
#include "zip/libzip_errors.h"
#include "zip/stored_blocks.h"
#include "zip/taken_entry.h"
#include "zip/worth_compressing.h"
#include "zip/zip32.h"

namespace quillet::zip32 {

namespace {

std::string folder_entry_name(const std::string& name) { return name.ends_with('/') ? name : name + "/"; }

// A Unix folder's mode in the high half, the MS-DOS folder bit in the low.
zip_uint32_t folder_attributes(std::uint32_t permissions) {
    constexpr zip_uint32_t kUnixFolder = 0040000;
    constexpr zip_uint32_t kDosFolder = 0x10;
    return ((kUnixFolder | (permissions & 07777)) << 16) | kDosFolder;
}

}  // namespace

ArchiveFile::ArchiveFile(zip* handle, std::unique_ptr<ArchiveStaging> staging)
    : handle_(handle), staging_(std::move(staging)) {}

ArchiveFile::~ArchiveFile() {
    if (handle_ != nullptr) zip_discard(handle_);
}

int ArchiveFile::open(const std::string& archive_text, std::unique_ptr<ArchiveFile>& archive) {
    std::unique_ptr<ArchiveStaging> staging;
    if (const int rc = ArchiveStaging::prepare(archive_text, staging); rc != ZE_OK) return rc;
    int error = ZIP_ER_OK;
    zip_t* handle = zip_open(staging->staged_native().c_str(), ZIP_CREATE, &error);
    if (handle == nullptr) return result_for_libzip_error(error, ArchiveStage::opening);
    archive.reset(new ArchiveFile(handle, std::move(staging)));
    return ZE_OK;
}

std::optional<std::time_t> ArchiveFile::entry_time(const std::string& name) const {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(handle_, name.c_str(), 0, &stat) != 0) return std::nullopt;
    if ((stat.valid & ZIP_STAT_MTIME) == 0) return std::time_t{0};
    return stat.mtime;
}

// With the folder's own permissions: libzip's default lets everyone write into
// the folder once extracted.
int ArchiveFile::add_folder(const std::string& name, std::time_t modified, std::uint32_t permissions) {
    open_to_ &= permissions;
    const std::string entry = folder_entry_name(name);
    if (zip_name_locate(handle_, entry.c_str(), 0) >= 0) return ZE_OK;
    const zip_int64_t added = zip_dir_add(handle_, entry.c_str(), ZIP_FL_ENC_GUESS);
    if (added < 0) return last_error(ZE_LOGIC);
    const auto index = static_cast<zip_uint64_t>(added);
    if (zip_file_set_external_attributes(handle_, index, 0, ZIP_OPSYS_UNIX, folder_attributes(permissions)) != 0)
        return last_error(ZE_LOGIC);
    return set_time(index, modified);
}

int ArchiveFile::set_time(std::uint64_t index, std::time_t modified) {
    if (zip_file_set_mtime(handle_, index, entry_field_time(modified), 0) != 0) return last_error(ZE_LOGIC);
    // A replaced entry keeps the fields it had: an old time would come first.
    zip_file_extra_field_delete_by_id(handle_, index, kExtendedTimestampField, ZIP_EXTRA_FIELD_ALL,
                                      ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
    const auto extended = extended_timestamp(modified);
    if (extended && zip_file_extra_field_set(handle_, index, kExtendedTimestampField, ZIP_EXTRA_FIELD_NEW,
                                             extended->data(), static_cast<zip_uint16_t>(extended->size()),
                                             ZIP_FL_LOCAL | ZIP_FL_CENTRAL) != 0) {
        return last_error(ZE_LOGIC);
    }
    return ZE_OK;
}

int ArchiveFile::add_file(const std::string& name, const std::string& native_path, std::uint64_t size,
                          std::time_t modified, std::uint32_t permissions, int level, const std::string& password) {
    open_to_ &= permissions;
    // Decided here, so that one thread and many make the same entry.
    const bool incompressible = level != 0 && !worth_compressing(native_path, size);
    // Stored, it goes straight in: the workers would only copy it. Encrypted, it
    // takes the form of deflate's stored blocks instead, which the workers can
    // encrypt ahead of the archive (libzip checksums the bytes of a stored entry
    // taken over, which would be the encrypted ones).
    const bool stored_blocks = incompressible && !password.empty();
    if (incompressible && !stored_blocks) level = 0;
    if (threads_ > 1 && level != 0 && EntryWorkers::takes(size)) {
        if (!workers_) workers_ = std::make_unique<EntryWorkers>(threads_, level, password, staging_->folder());
        return add_compressed(name, workers_->add(native_path, size, stored_blocks), modified, level,
                              !password.empty());
    }
    zip_source_t* source = file_entry_source(handle_, native_path, stored_blocks);
    if (source == nullptr) return last_error(ZE_OPEN);
    const zip_int64_t added = zip_file_add(handle_, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
    if (added < 0) {
        zip_source_free(source);
        return last_error(ZE_LOGIC);
    }
    const auto index = static_cast<zip_uint64_t>(added);
    if (const int rc = set_time(index, modified); rc != ZE_OK) return rc;
    return set_method(index, level, &password, !password.empty());
}

int ArchiveFile::add_compressed(const std::string& name, std::size_t number, std::time_t modified, int level,
                                bool encrypted) {
    zip_source_t* source = taken_entry_source(handle_, *workers_, number, [this] { pacer_.tell(std::nullopt); });
    if (source == nullptr) return last_error(ZE_LOGIC);
    const zip_int64_t added = zip_file_add(handle_, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
    if (added < 0) {
        zip_source_free(source);
        return last_error(ZE_LOGIC);
    }
    const auto index = static_cast<zip_uint64_t>(added);
    worker_entries_.emplace_back(index, number);
    if (const int rc = set_time(index, modified); rc != ZE_OK) return rc;
    // The same method as the workers', and encryption without a password: the
    // bytes are taken as they are rather than compressed or encrypted again.
    return set_method(index, level, nullptr, encrypted);
}

int ArchiveFile::set_method(std::uint64_t index, int level, const std::string* password, bool encrypted) {
    const bool stored = level == 0;
    const zip_int32_t method = stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(handle_, index, method, stored ? 0 : static_cast<zip_uint32_t>(level)) != 0)
        return last_error(ZE_LOGIC);
    const char* key = password != nullptr ? password->c_str() : nullptr;
    if (encrypted && zip_file_set_encryption(handle_, index, ZIP_EM_AES_256, key) != 0) return last_error(ZE_LOGIC);
    return ZE_OK;
}

std::string ArchiveFile::comment() const {
    int length = 0;
    const char* text = zip_get_archive_comment(handle_, &length, ZIP_FL_ENC_RAW);
    return text == nullptr ? std::string() : std::string(text, static_cast<std::size_t>(length));
}

int ArchiveFile::set_comment(const std::string& comment) {
    if (comment.size() > 0xFFFF) return ZE_PARMS;
    if (zip_set_archive_comment(handle_, comment.data(), static_cast<zip_uint16_t>(comment.size())) != 0)
        return last_error(ZE_LOGIC);
    return ZE_OK;
}

int ArchiveFile::close(DLLPROGRESS* progress) {
    pacer_.start(progress);
    if (progress != nullptr) {
        // libzip tells of every few kilobytes it writes (precision 0: every step,
        // so that a large entry is no exception); the pacer passes on enough.
        const auto told = [](zip_t*, double done, void* pacer) { static_cast<Pacer*>(pacer)->tell(done, done >= 1.0); };
        zip_register_progress_callback_with_state(handle_, 0.0, told, nullptr, &pacer_);
    }
    // An interrupted run lets go of its files at the next few kilobytes: the
    // clean-up deletes them, and on some hosts it cannot while they are open.
    const auto interrupted = [](zip_t*, void*) { return platform::interruption_started() ? 1 : 0; };
    zip_register_cancel_callback_with_state(handle_, interrupted, nullptr, nullptr);
    if (workers_) {
        std::sort(worker_entries_.begin(), worker_entries_.end());
        std::vector<std::size_t> order;
        for (const auto& [index, number] : worker_entries_) order.push_back(number);
        workers_->start(std::move(order));
    }
    if (zip_close(handle_) != 0) {
        const int result = last_error(ZE_WRITE);
        zip_discard(handle_);  // before the workers its entries draw on
        handle_ = nullptr;
        // Every file let go: what is left is the clean-up's, which ends the
        // process; a failure reported meanwhile would be no failure of the archive.
        if (platform::interruption_started()) platform::without_interruption([] {});
        workers_.reset();
        return result;
    }
    handle_ = nullptr;  // zip_close freed it
    workers_.reset();
    return staging_->put_in_place(open_to_);
}

void ArchiveFile::Pacer::start(DLLPROGRESS* progress) {
    progress_ = progress;
    told_ = std::chrono::steady_clock::now();
}

void ArchiveFile::Pacer::tell(std::optional<double> done, bool force) {
    if (done) done_ = *done;
    if (progress_ == nullptr) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - told_ < kProgressEvery && !force) return;
    told_ = now;
    progress_(done_);
}

int ArchiveFile::last_error(int stage_result_if_unknown) const {
    const int code = zip_error_code_zip(zip_get_error(handle_));
    if (code == ZIP_ER_OK) return stage_result_if_unknown;
    return result_for_libzip_error(code, ArchiveStage::writing);
}

}  // namespace quillet::zip32
