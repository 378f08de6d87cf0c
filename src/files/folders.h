#pragma once
// Creating a folder path.

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "files/user_side.h"

namespace quillet::lib_basFile {

// The folders that one pass of copies has made, or found to be folders it may
// write into: a folder made inside one of them is made at once, without looking
// at every level of its path again. Only for a pass that nothing else removes
// folders from.
class KnownFolders {
public:
    bool holds(std::string_view folder) const { return known_.find(folder) != known_.end(); }
    // The folders made, in the order they were made.
    const std::vector<std::string>& made() const { return made_; }

    void found(const std::string& folder) { known_.insert(folder); }
    void made(const std::string& folder) {
        known_.insert(folder);
        made_.push_back(folder);
    }

private:
    std::set<std::string, std::less<>> known_;
    std::vector<std::string> made_;
};

// Creates every missing folder of the path, level by level; true when the folder
// exists afterwards. A path without a drive is created from the root of the
// current drive. Run-time errors are reported and raised again. With known, the
// folders of a pass: what it makes and finds is added there.
bool lib_MakePath(UserSide& user, const std::string& strPath, KnownFolders* known = nullptr);

}  // namespace quillet::lib_basFile
