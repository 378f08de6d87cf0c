#pragma once
// What outlives one job: the state the main window keeps for the whole run, shared
// by every job of one command line or one command file.

#include <cstdint>
#include <string>
#include <vector>

#include "job/copied_files.h"

namespace quillet {

struct RunState {
    // Shift was held when the window loaded; the first job that passes its checks
    // asks the Shift questions and clears it.
    bool ShiftKeyAtStart = false;
    // The /M override typed at the Shift prompt; 0 means none.
    std::int16_t MinutesOverride = 0;
    // The comment typed at the Shift prompt; empty means none.
    std::string SnapshotComment;

    // Every file accepted for copying during the run, never reset.
    CopiedFilesTable CopiedFiles;
    // Every archive path started during the run (at most 50), never reset.
    std::vector<std::string> ArchiveNames;

    std::int16_t CopiedCount() const { return static_cast<std::int16_t>(CopiedFiles.size()); }

    // The threads that copy files: 0 for one per core (at least two); 1 copies every
    // file on the job's own thread, one after another.
    unsigned CopyThreads = 0;

    // A job asked for the main window to unload, which ends the run (the zip
    // component could not be initialised).
    bool UnloadRequested = false;
};

}  // namespace quillet
