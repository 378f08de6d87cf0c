// File times through statx (for the birth time) and utimensat. Windows keeps
// times in 100-nanosecond units since 1601; they are converted here, at the edge.

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/native_paths.h"

namespace quillet::platform {

namespace {

constexpr std::int64_t kUnitsPerSecond = 10'000'000;
constexpr std::int64_t kNanosecondsPerUnit = 100;

FileTime to_file_time(std::int64_t seconds, std::int64_t nanoseconds) {
    return kUnixEpochFileTime + seconds * kUnitsPerSecond + nanoseconds / kNanosecondsPerUnit;
}

timespec to_timespec(FileTime time) {
    std::int64_t units = time - kUnixEpochFileTime;
    std::int64_t seconds = units / kUnitsPerSecond;
    std::int64_t rest = units % kUnitsPerSecond;
    if (rest < 0) {  // before 1970: keep the nanoseconds positive
        rest += kUnitsPerSecond;
        seconds -= 1;
    }
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds);
    result.tv_nsec = static_cast<long>(rest * kNanosecondsPerUnit);
    return result;
}

#if defined(STATX_BTIME)
std::optional<FileTimes> read_times(const char* native) {
    struct statx info {};
    if (statx(AT_FDCWD, native, 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) return std::nullopt;
    FileTimes times;
    times.last_access = to_file_time(info.stx_atime.tv_sec, info.stx_atime.tv_nsec);
    times.last_write = to_file_time(info.stx_mtime.tv_sec, info.stx_mtime.tv_nsec);
    times.creation = (info.stx_mask & STATX_BTIME) != 0
                         ? to_file_time(info.stx_btime.tv_sec, info.stx_btime.tv_nsec)
                         : times.last_write;
    return times;
}
#else
std::optional<FileTimes> read_times(const char* native) {
    struct stat info {};
    if (stat(native, &info) != 0) return std::nullopt;
    FileTimes times;
    times.last_access = to_file_time(info.st_atim.tv_sec, info.st_atim.tv_nsec);
    times.last_write = to_file_time(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
    times.creation = times.last_write;
    return times;
}
#endif

}  // namespace

std::optional<FileTimes> file_times(std::string_view path_text) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return std::nullopt;
    return read_times(native->c_str());
}

bool set_file_times(std::string_view path_text, const FileTimes& times) {
    const auto native = posix::native_or_missing(path_text);
    if (!native) return false;
    const timespec access_and_write[2] = {to_timespec(times.last_access), to_timespec(times.last_write)};
    return utimensat(AT_FDCWD, native->c_str(), access_and_write, 0) == 0;
}

}  // namespace quillet::platform
