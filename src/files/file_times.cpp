#include "files/file_times.h"

namespace quillet::lib_basFile {

namespace {

platform::FileTime& selected(platform::FileTimes& times, const std::string& strType) {
    if (strType == "C") return times.creation;
    if (strType == "A") return times.last_access;
    return times.last_write;
}

Date as_date(platform::FileTime time, bool blnNoConversion) {
    return blnNoConversion ? platform::utc_date_from_file_time(time) : platform::local_date_from_file_time(time);
}

platform::FileTime as_file_time(Date date, bool blnNoConversion) {
    return blnNoConversion ? platform::file_time_from_utc_date(date) : platform::file_time_from_local_date(date);
}

}  // namespace

std::optional<platform::FileTimes> lib_GetFileTimes(const std::string& strFile) {
    return platform::file_times(strFile);
}

bool lib_SetFileTimes(const std::string& strFile, const platform::FileTimes& udtTimes) {
    if (!platform::file_times(strFile)) return false;
    platform::set_file_times(strFile, udtTimes);
    return true;
}

Date lib_FileDateTime(const std::string& strPath, const std::string& strType, std::optional<Date> datNew,
                      bool blnNoConversion) {
    auto times = platform::file_times(strPath);
    if (!times) return 0;
    if (datNew) {
        selected(*times, strType) = as_file_time(*datNew, blnNoConversion);
        platform::set_file_times(strPath, *times);
        times = platform::file_times(strPath);
        if (!times) return 0;
    }
    return as_date(selected(*times, strType), blnNoConversion);
}

}  // namespace quillet::lib_basFile
