#include "files/compact_database.h"

#include <functional>
#include <memory>
#include <optional>

#include "files/copy_file.h"
#include "files/database_engine.h"
#include "files/temporary_names.h"
#include "files/file_deletion.h"
#include "files/file_times.h"
#include "files/find_executable.h"
#include "files/run_application.h"
#include "files/existence.h"
#include "files/work_folder.h"
#include "platform/platform.h"
#include "text/error.h"
#include "text/paths.h"
#include "text/vb_errors.h"

namespace quillet::lib_basFile {

namespace {

constexpr const char* kCompactDatabase = "lib_CompactDatabase";
constexpr const char* kCompactDatabaseCL = "lib_CompactDatabaseCL";
constexpr const char* kCrLf = "\r\n";

// Makes the compacted output from the input: the step in which the engine and the
// command line differ, with the engine's making of the input copy.
using CompactStep = std::function<void(const std::string& input, const std::string& output)>;
// Makes the input copy, given the step that copies the database's file.
using CopyStep = std::function<void(const std::string& source, const std::string& copy,
                                    const std::function<void()>& copy_file)>;

Error with_database(const char* routine, const Error& error, const std::string& source, const std::string& output) {
    return Error(error.number(), routine,
                 error.description() + kCrLf + kCrLf + "DB=" + source + kCrLf + "Temp=" + output);
}

// The old target goes to the trash only once a compacted copy stands ready; when
// it cannot go, the target stays as it was.
bool replace_target(UserSide& user, const std::string& output, const std::string& target,
                    const std::optional<platform::FileTimes>& times, const std::function<void()>& keep_output) {
    if (!file_exists_at(output)) return false;
    // Before the output takes its name, which keeps them: an interruption in between
    // would leave the compacted copy under its name with the time of its making.
    if (times) lib_SetFileTimes(output, *times);
    try {
        if (!replace_through_trash(user, output, target, keep_output)) return false;
    } catch (const Error&) {
        // The old target may be in the trash by now: the output ("Temp=") is all there is.
        keep_output();
        throw;
    }
    return file_exists_at(target);
}

// The input copy and the output are made in a folder of the compaction's own
// beside the target, under names drawn there: another run compacting into the
// same folder at the same moment would draw the same names beside the target.
// The folder goes for good with the compaction (the input copy is the program's
// own, never for the trash) or the run's interruption; one that a killed run
// left is swept by the next compaction there.
class CompactionFolder {
public:
    explicit CompactionFolder(const std::string& target)
        : folder_(WorkFolder::Make(lib_basConversion::parent_folder(target), "qdb")) {
        if (!folder_) {
            throw Error(vb::kPathFileAccessError, "",
                        "Path/File access error: no work folder could be made beside " + target);
        }
        try {
            names_.emplace(lib_basConversion::lib_AddPath(folder_->Path(), lib_basConversion::lib_GetFileName(target)));
        } catch (...) {
            folder_->Remove();  // a half-made object's own destructor never runs
            throw;
        }
    }
    // After a failure, whose error is the one that matters; a kept folder stays.
    ~CompactionFolder() {
        if (folder_ && !kept_) folder_->Remove();
    }
    CompactionFolder(const CompactionFolder&) = delete;
    CompactionFolder& operator=(const CompactionFolder&) = delete;

    TemporaryNames& names() { return *names_; }
    // What it holds outlives an interruption and a failure, and no later run sweeps
    // it; remove() still deletes it.
    void keep() {
        kept_ = true;
        folder_->Keep();
    }

    // Once the compaction is done; an error when some of the folder stays.
    // A mark left alone is a file left in the snapshot: the target's side failed.
    void remove() {
        const std::string path = folder_->Path();
        const bool removed = folder_->Remove();
        const std::string left = folder_->Left();
        folder_.reset();
        if (removed) return;
        throw Error(vb::kPathFileAccessError, "",
                    "Path/File access error\r\n" + std::string(left == path ? "Folder:" : "File:") + left);
    }

private:
    std::unique_ptr<WorkFolder> folder_;
    std::optional<TemporaryNames> names_;
    bool kept_ = false;
};

bool compact_into_target(UserSide& user, const char* routine, const std::string& source, const std::string& target,
                         const std::optional<platform::FileTimes>& times, bool copy_first,
                         const CompactStep& compact, const CopyStep& copy_database = {}) {
    std::string output;
    try {
        CompactionFolder folder(target);
        output = folder.names().draw({});
        std::string input = source;
        if (copy_first) {
            input = folder.names().draw({output});
            const auto copy_file = [&] { copy_one_file(user, source, input, true); };
            if (copy_database) {
                copy_database(source, input, copy_file);
            } else {
                copy_file();
            }
        }
        compact(input, output);
        // The input copy has served: a folder kept for its output keeps nothing else.
        if (copy_first) platform::delete_permanently(input);
        // A program makes the output as any new file: it takes the database's access.
        platform::give_access_of(output, source);
        const bool replaced = replace_target(user, output, target, times, [&folder] { folder.keep(); });
        folder.remove();
        return replaced;
    } catch (const Error& error) {
        throw with_database(routine, error, source, output);
    }
}

// The command-line route with the source's times already read.
bool compact_through_program(UserSide& user, const std::string& source, const std::string& target,
                             const std::optional<platform::FileTimes>& times, bool copy_first) {
    // Without a registered program nothing could be started: no copy is made for nothing.
    const std::string program = lib_FindExecutable(source);
    if (program.empty()) return false;
    return compact_into_target(user, kCompactDatabaseCL, source, target, times, copy_first,
                               [&](const std::string& input, const std::string& output) {
                                   lib_RunApplication(user, CompactCommandLine(program, input, output), true, true,
                                                      kShowNormal, "", 0);
                               });
}

}  // namespace

bool lib_CompactDatabase(UserSide& user, const std::string& strSource, const std::string& strTarget,
                         bool blnOverwrite, const std::string& strPassword, bool blnCopyFirst) {
    const BusyScope busy(user);
    const std::string& target = strTarget.empty() ? strSource : strTarget;
    if (!blnOverwrite && file_exists_at(target)) return false;
    const std::string connect = strPassword.empty() ? std::string() : ";pwd=" + strPassword;
    // Read before anything reads the source and so moves its access time.
    const auto times = lib_GetFileTimes(strSource);

    // The engine is chosen before anything is copied, so that a database no engine
    // can take goes to the command line without a copy made for nothing.
    std::unique_ptr<DatabaseEngine> engine;
    try {
        engine = CreateDatabaseEngine(strSource);
    } catch (const Error& error) {
        if (error.number() != vb::kCannotCreateObject) throw with_database(kCompactDatabase, error, strSource, "");
        return compact_through_program(user, strSource, target, times, blnCopyFirst);
    }
    return compact_into_target(
        user, kCompactDatabase, strSource, target, times, blnCopyFirst,
        [&](const std::string& input, const std::string& output) { engine->CompactDatabase(input, output, connect); },
        [&](const std::string& source, const std::string& copy, const std::function<void()>& copy_file) {
            engine->CopyDatabase(source, copy, copy_file);
        });
}

bool lib_CompactDatabaseCL(UserSide& user, const std::string& strSource, const std::string& strTarget,
                           bool blnOverwrite, const std::string& /*strConnect*/, bool blnCopyFirst) {
    const BusyScope busy(user);
    const std::string& target = strTarget.empty() ? strSource : strTarget;
    if (!blnOverwrite && file_exists_at(target)) return false;
    return compact_through_program(user, strSource, target, lib_GetFileTimes(strSource), blnCopyFirst);
}

std::string CompactCommandLine(const std::string& strProgram, const std::string& strInput,
                               const std::string& strOutput) {
    return "\"" + strProgram + "\" \"" + strInput + "\" /compact \"" + strOutput + "\"";
}

}  // namespace quillet::lib_basFile
