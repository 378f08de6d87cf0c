#pragma once
// The folder that files were last written into, kept open. A snapshot writes its
// files one folder after another, and walking a folder's whole path again for each
// file costs about as much as copying a small one; a name relative to the open
// folder is found at once.
//
// It is kept only while a walk goes on, that is while a folder listing is open:
// the snapshot's copies are made from inside the walk of its source. When the last
// listing closes, the thread that held it lets its folder go, so that a program
// that stays open after its jobs keeps no drive busy; a copy made outside any walk
// looks its folder up by the path.
//
// Each thread keeps its own: the threads that make a walk's copies keep theirs
// until they end, with the copy pass. Whatever renames, trashes or removes folders
// here forgets the calling thread's, so that a path never leads into a folder that
// has since moved (the copy pass moves no folder while its threads run); a name
// that is not found through it is looked for again by its path, as a folder
// deleted by another program may have been made again. A folder that another
// program renames while a copy goes on keeps receiving its files, as any open
// folder would.

#include <optional>
#include <string>

namespace quillet::platform::posix {

// A name as the *at system calls take it: a folder (or AT_FDCWD) and a name in it.
struct FolderRelative {
    int folder;
    const char* name;
};

// The native path's last component in its folder, opening that folder when it is
// not the one open; the whole path from the working folder when the folder cannot
// be opened. `native` must outlive the result.
FolderRelative in_last_folder(const std::string& native);
// Only when the name lies in the folder open now.
std::optional<FolderRelative> in_open_folder(const std::string& native);
void forget_last_folder();

// Held by every open folder listing: while one is held, copies keep their folder
// open; when the last goes, the thread that held it lets its folder go.
class WalkUnderway {
public:
    WalkUnderway();
    ~WalkUnderway();
    WalkUnderway(const WalkUnderway&) = delete;
    WalkUnderway& operator=(const WalkUnderway&) = delete;
};

}  // namespace quillet::platform::posix
