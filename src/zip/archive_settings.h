#pragma once
// The options record read into what one archive run does, and refused when it
// asks for something this archiver does not do.

#include <string>

#include "zip/file_selection.h"
#include "zip/zip32.h"

namespace quillet::zip32 {

// The options as ZpSetOptions kept them: the record, with its texts copied.
struct StoredOptions {
    ZPOPT record;
    std::string date;
    std::string root_dir;
    std::string temp_dir;
};

StoredOptions store_options(const ZPOPT& options);

struct ArchiveSettings {
    SelectionRules selection;
    int level = 6;  // 0 stores
    bool encrypt = false;
    bool quiet = false;
    bool verbose = false;
    bool move = false;
    bool update = false;   // only new files and files newer than their entries
    bool freshen = false;  // only files newer than their existing entries
    bool comment = false;
};

// ZE_OK and the settings, or ZE_PARMS with the reason in `problem`.
int read_settings(const StoredOptions& options, ArchiveSettings& settings, std::string& problem);

}  // namespace quillet::zip32
