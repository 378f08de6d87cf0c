#pragma once
// One file's copy through a temporary, as lib_CopyFile makes it, in two steps that
// may run on different threads: the copy is written first (on any thread), and
// put in place later, on the thread that speaks to the user. So copies can be made
// several at once and still take their names one after another.

#include <exception>
#include <string>
#include <string_view>

#include "files/copy_file.h"
#include "files/user_side.h"
#include "platform/platform.h"

namespace quillet::lib_basFile {

class CopyTemporaryNames;

class PendingCopy {
public:
    // The source text must outlive the copy.
    PendingCopy(std::string_view source, std::string target);
    ~PendingCopy();
    PendingCopy(const PendingCopy&) = delete;
    PendingCopy& operator=(const PendingCopy&) = delete;

    // Writes the copy, without a name where the file system allows that, else under
    // a temporary name ".~NN" beside the target. Any failure is kept for
    // put_in_place to raise. progress: as for platform::copy_file, on this thread.
    void make(const platform::CopyProgress& progress = {});

    // Gives the copy the target's name, or puts the temporary in its place after the
    // old target went to the trash, with the source's file times; raises what went
    // wrong as lib_CopyFile raises it (SourceUnreadable when the source was at
    // fault). The old target is then untouched and no temporary is left.
    void put_in_place(UserSide& user, CopyTally* tally);

    std::string_view source() const { return source_; }
    std::string_view target() const { return target_; }

private:
    platform::CopyNames names();

    std::string_view source_;
    std::string target_;
    std::unique_ptr<CopyTemporaryNames> temporaries_;
    platform::MadeCopy made_;
    std::exception_ptr failure_;
    bool awaited_;  // the target reads like a temporary name; see TargetsToCome
};

}  // namespace quillet::lib_basFile
