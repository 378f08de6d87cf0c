#include "files/sqlite_engine.h"

#include <fstream>
#include <string_view>

#include "files/sqlite_library.h"
#include "platform/platform.h"
#include "text/vb_errors.h"

namespace quillet {

namespace {

constexpr std::string_view kHeader{"SQLite format 3\0", 16};

}  // namespace

bool IsSqliteDatabase(const std::string& strFile) {
    const auto native = platform::native_path(strFile);
    if (!native) return false;
    std::ifstream file(*native, std::ios::binary);
    std::string start(kHeader.size(), '\0');
    return file.read(start.data(), static_cast<std::streamsize>(start.size())) && start == kHeader;
}

// Without SQLite the engine cannot be created, as an engine that is not installed.
void SqliteEngine::CompactDatabase(const std::string& strInput, const std::string& strOutput,
                                   const std::string& strConnect) {
    const SqliteLibrary* sqlite = sqlite_library();
    if (sqlite == nullptr) throw vb::error(vb::kCannotCreateObject);
    sqlite->compact(strInput, strOutput, strConnect);
}

}  // namespace quillet
