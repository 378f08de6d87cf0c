#pragma once
// A file's three times: as the record the copy carries from source to target, and
// one at a time as a calendar date.

#include <optional>
#include <string>

#include "platform/platform.h"
#include "text/dates.h"

namespace quillet::lib_basFile {

// The file's creation, last access and last write times; empty when there is no
// such file.
std::optional<platform::FileTimes> lib_GetFileTimes(const std::string& strFile);
// Gives the file the access and write times of the record (this host keeps the
// creation time it has). True when the file was found, whether or not the times
// could be set.
bool lib_SetFileTimes(const std::string& strFile, const platform::FileTimes& udtTimes);

// One of the file's times as a date: "C" the creation time, "A" the last access,
// anything else the last write. With datNew that time is set first, and the result
// is the time as the file then keeps it. Times are local unless blnNoConversion,
// which takes the file system's universal time as it stands. 0 when there is no
// such file.
Date lib_FileDateTime(const std::string& strPath, const std::string& strType, std::optional<Date> datNew = std::nullopt,
                      bool blnNoConversion = false);

}  // namespace quillet::lib_basFile
