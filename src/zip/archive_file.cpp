#include "zip/archive_file.h"

#include <zip.h>

#include <chrono>

#include "zip/libzip_errors.h"
#include "zip/zip32.h"

namespace quillet::zip32 {

namespace {

std::string folder_entry_name(const std::string& name) { return name.ends_with('/') ? name : name + "/"; }

// libzip tells of every few kilobytes it writes; the caller hears of it every
// kProgressEvery, and of the end.
void tell_progress(zip_t* handle, DLLPROGRESS* progress) {
    struct Heard {
        DLLPROGRESS* progress;
        std::chrono::steady_clock::time_point told = std::chrono::steady_clock::now();
    };
    const auto told = [](zip_t*, double done, void* state) {
        auto& heard = *static_cast<Heard*>(state);
        const auto now = std::chrono::steady_clock::now();
        if (now - heard.told < kProgressEvery && done < 1.0) return;
        heard.told = now;
        heard.progress(done);
    };
    const auto forget = [](void* state) { delete static_cast<Heard*>(state); };
    // Precision 0: every step libzip takes, so that a large entry is no exception.
    zip_register_progress_callback_with_state(handle, 0.0, told, forget, new Heard{progress});
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

int ArchiveFile::add_folder(const std::string& name, std::time_t modified) {
    const std::string entry = folder_entry_name(name);
    if (zip_name_locate(handle_, entry.c_str(), 0) >= 0) return ZE_OK;
    const zip_int64_t index = zip_dir_add(handle_, entry.c_str(), ZIP_FL_ENC_GUESS);
    if (index < 0) return last_error(ZE_LOGIC);
    if (zip_file_set_mtime(handle_, static_cast<zip_uint64_t>(index), modified, 0) != 0) return last_error(ZE_LOGIC);
    return ZE_OK;
}

int ArchiveFile::add_file(const std::string& name, const std::string& native_path, int level,
                          const std::string& password) {
    zip_source_t* source = zip_source_file(handle_, native_path.c_str(), 0, -1);
    if (source == nullptr) return last_error(ZE_OPEN);
    const zip_int64_t added = zip_file_add(handle_, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_GUESS);
    if (added < 0) {
        zip_source_free(source);
        return last_error(ZE_LOGIC);
    }
    const auto index = static_cast<zip_uint64_t>(added);
    const bool stored = level == 0;
    const zip_int32_t method = stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(handle_, index, method, stored ? 0 : static_cast<zip_uint32_t>(level)) != 0)
        return last_error(ZE_LOGIC);
    if (!password.empty() && zip_file_set_encryption(handle_, index, ZIP_EM_AES_256, password.c_str()) != 0)
        return last_error(ZE_LOGIC);
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
    if (progress != nullptr) tell_progress(handle_, progress);
    if (zip_close(handle_) != 0) return last_error(ZE_WRITE);
    handle_ = nullptr;  // zip_close freed it
    return staging_->put_in_place();
}

int ArchiveFile::last_error(int stage_result_if_unknown) const {
    const int code = zip_error_code_zip(zip_get_error(handle_));
    if (code == ZIP_ER_OK) return stage_result_if_unknown;
    return result_for_libzip_error(code, ArchiveStage::writing);
}

}  // namespace quillet::zip32
