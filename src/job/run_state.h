#pragma once
// What outlives one job: the state the main window keeps for the whole run, shared
// by every job of one command line or one command file.

#include <cstdint>
#include <string>
#include <vector>

#include "job/copied_files_index.h"

namespace quillet {

// One file that a job of this run accepted for copying.
struct CopiedFile {
    std::string source;
    std::string destination;
};

struct RunState {
    // Shift was held when the window loaded; the first job that passes its checks
    // asks the Shift questions and clears it.
    bool ShiftKeyAtStart = false;
    // The /M override typed at the Shift prompt; 0 means none.
    std::int16_t MinutesOverride = 0;
    // The comment typed at the Shift prompt; empty means none.
    std::string SnapshotComment;

    // Every file accepted for copying during the run (at most 10000), never reset.
    std::vector<CopiedFile> CopiedFiles;
    // Beside CopiedFiles: its first row for each destination.
    CopiedFilesIndex CopiedIndex;
    // Every archive path started during the run (at most 50), never reset.
    std::vector<std::string> ArchiveNames;

    std::int16_t CopiedCount() const { return static_cast<std::int16_t>(CopiedFiles.size()); }
    std::int16_t ArchiveCount() const { return static_cast<std::int16_t>(ArchiveNames.size()); }

    // A job asked for the main window to unload, which ends the run (the zip
    // component could not be initialised).
    bool UnloadRequested = false;
};

}  // namespace quillet
