#pragma once
// Copying files through a temporary name beside the target, so that a target is
// only ever replaced by a complete copy.

#include <string>

#include "platform/platform.h"

namespace quillet::lib_basFile {

// Copies a file, or every file that matches a wildcard source ("C:\a\*.txt"), to a
// target file, or into a folder given with a trailing backslash; a wildcard source
// always goes into the target folder. Each file is copied to a temporary name
// beside its target ("report.~37"); only then does the old target go to the trash
// and the copy take its place, with the source's file times.
//
// False when a file was skipped: source and target are the same text, the target
// exists and blnOverwrite is off, or the target is missing afterwards. A failed
// copy raises "Failed to copy file" with the system's reason; the old target is
// then untouched and no temporary file is left. blnRetryPrompt has no effect (it
// never had); progress, when given, hears how far each file's copy is.
bool lib_CopyFile(const std::string& strSource, const std::string& strTarget, bool blnOverwrite,
                  bool blnRetryPrompt = false, const platform::CopyProgress& progress = {});

}  // namespace quillet::lib_basFile
