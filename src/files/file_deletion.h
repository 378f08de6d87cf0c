#pragma once
// Deleting folder trees and files, to the trash or for good, and telling whether
// a file is held by someone else.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/user_side.h"

namespace quillet::lib_basFile {

// Deletes a folder with everything in it (to the trash unless blnPermanently), or
// with blnContentsOnly only what it holds; one trailing backslash of strDir is
// ignored. Share paths, paths without a drive or a folder, and drive roots are
// refused in the error box (with the countdown). True when everything was deleted.
bool lib_Deltree(UserSide& user, std::string_view strDir, bool blnContentsOnly, std::int16_t intMsgCountdown,
                 bool blnPermanently);

// True when the file no longer exists: a missing file is no failure. The file
// goes to the trash unless blnPermanently; false when it stays (in use, or the
// trash cannot take it). Run-time errors are reported and raised again.
bool lib_KillFile(UserSide& user, const std::string& strFile, bool blnPermanently);
// Sends what stands at target to the trash, if anything, and runs take_name (a
// replacement's rename to target) in the same step, which an interruption does not
// split: between the two its clean-up would delete the only complete copy, the old
// one lying in the trash. False, with nothing run, when the trash does not take
// it or it cannot be told whether anything stands there; lib_KillFile then tells why.
bool trash_and_take_name(const std::string& target, const std::function<void()>& take_name);
// A complete replacement takes target's name, so: the rename comes in the step
// that trashes what stood there. When the trash refuses, lib_KillFile tries once
// more and tells why; false if that fails too, with the replacement left under its
// own name. keep_replacement runs before that try, so that an interruption from
// then on no longer removes the replacement (the work folder holding it is kept).
bool replace_through_trash(UserSide& user, const std::string& replacement, const std::string& target,
                           const std::function<void()>& keep_replacement);

// True when the file cannot even be renamed to its own name. A missing file is
// not in use.
bool lib_FileInUse(const std::string& strFile);

}  // namespace quillet::lib_basFile
