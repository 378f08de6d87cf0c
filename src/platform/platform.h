#pragma once
// Everything the program asks of its host. The rest of the program speaks Windows
// path text ("C:\Data\file.txt", "\\server\share\dir") and never calls the operating
// system itself; each host has an implementation of this header (posix/ for Linux
// and macOS), chosen when the program is built.
//
// Conventions:
// - Calls that stand for a Windows API call return a result (bool, optional, empty
//   text) and leave the reason in last_error(), as the API calls did.
// - Calls that stand for a statement of the language (MkDir, Kill, Name) throw
//   quillet::Error with the language's run-time error number and text.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/dates.h"

namespace quillet::platform {

// ---------------------------------------------------------------------------
// Errors of the last failed call

// The host's code for the last failed call of this header (errno on POSIX).
int last_error();
// Whether the last failure said that the file, or a folder on its way, is not
// there: as against a disk that fails or a permission refused, where it may be.
bool last_error_means_missing();
// The host's own wording for last_error(), ending in a line end as Windows'
// FormatMessage texts do; the code's number where the host has no words for it.
std::string last_error_text();

// ---------------------------------------------------------------------------
// Paths: Windows path text <-> native paths

// The native path for path text: "Z:\home\ann" is "/home/ann"; other drives and
// \\server\share roots come from QUILLET_DRIVES; text without a drive is relative
// to the current directory. Empty when the drive or share is not mapped.
std::optional<std::string> native_path(std::string_view path_text);
// Path text for a native path: the longest QUILLET_DRIVES mapping that holds it,
// else drive Z:. Empty when a name in it holds a backslash, which path text
// cannot carry.
std::optional<std::string> path_text(std::string_view native);
// The current directory as path text, without a trailing backslash.
std::string current_directory();
// The path of what path text names with every link on its way followed; empty
// when it names nothing.
std::optional<std::string> resolved_path(std::string_view path_text);

// ---------------------------------------------------------------------------
// File attributes and folder listings

struct Attributes {
    bool directory = false;
};
// The attributes of a file or folder, links followed; empty when there is none.
std::optional<Attributes> attributes(std::string_view path_text);
// The drive (path text of its mount point) that the host's table of file systems
// (/etc/fstab) mounts where the folder lies, when it is not mounted now: what
// stands there is the folder the drive would cover, not the drive. Empty when the
// folder's drive is there, and where a drive has no such place (Windows: a drive
// that is not there has no letter).
std::optional<std::string> unmounted_drive_of(std::string_view folder_text);

struct DirectoryEntry {
    std::string name;
    bool directory = false;  // links followed: a link to a folder is a folder
    bool link = false;       // the entry itself is a symbolic link
    // Neither a regular file nor a folder (a FIFO, socket or device), links
    // followed; such a file is never to be opened for its content.
    bool special = false;
};

// One folder's entries whose names match a wildcard pattern, as find-first and
// find-next deliver them: in the file system's order, "." and ".." included.
// The pattern is matched without regard to case, with "*" and "?" as its only
// wildcards (as the host's file search has them), and "*.*" matches every name.
// "." and ".." come first. A name that holds a backslash is delivered all the
// same, although path text cannot name it: the caller reports it.
class FolderListing {
public:
    virtual ~FolderListing() = default;
    // The next entry; false when the listing is exhausted, or when the folder
    // could not be read to its end.
    virtual bool next(DirectoryEntry& entry) = 0;
    // Once next() gave false: whether reading the folder failed on the way (the
    // reason in last_error()), so that what was listed is not all there is.
    bool failed() const { return failed_; }

protected:
    void fail() { failed_ = true; }

private:
    bool failed_ = false;
};
// Opens the listing of a folder given as path text; null when it cannot be
// listed (missing, not a folder, no permission, drive not mapped), with the
// reason in last_error().
std::unique_ptr<FolderListing> list_folder(std::string_view folder_text, std::string_view pattern);

// Why path text cannot name an entry that a listing delivered: one whose name
// holds a backslash, or where the system reads a name without its dots and
// blanks at the end (Windows), one that ends in them, or one it reads as a
// device in any folder ("aux", "NUL.txt"). Reached by its path text, such an
// entry would be another, or none.
enum class Unnameable { no, backslash, dot_or_blank_at_end, device };
Unnameable unnameable(std::string_view name);

// ---------------------------------------------------------------------------
// Interruption

// SIGINT, SIGTERM and SIGHUP end a run at once but not in a mess: what the run has
// registered as half made is deleted for good (links removed, never followed), a
// terminal whose echo was turned off gets it back, the system log says so, and the
// program ends with status 128 + the signal's number. A second signal, or a
// clean-up that cannot finish within seconds, ends it at once without the rest. A
// write into a pipe whose reader has gone, or past a file-size limit, fails instead
// of ending the run. Called first thing in main, before any other thread starts.
// Without it the signals keep their usual effect; std::system_error when the
// thread that watches for them cannot start (they keep it then too).
void watch_for_interruption();

// Registers a file or folder to delete if the run is interrupted, for as long as it
// lives; the latest registered is deleted first. Registering what may still belong to someone else is wrong: register what
// this process has just made, inside without_interruption() when the making and
// the registering must not be split.
class RemovedIfInterrupted {
public:
    RemovedIfInterrupted() = default;
    explicit RemovedIfInterrupted(std::string_view path_text);
    ~RemovedIfInterrupted();
    RemovedIfInterrupted(RemovedIfInterrupted&& other) noexcept;
    RemovedIfInterrupted& operator=(RemovedIfInterrupted&& other) noexcept;
    RemovedIfInterrupted(const RemovedIfInterrupted&) = delete;
    RemovedIfInterrupted& operator=(const RemovedIfInterrupted&) = delete;

    // No longer deleted if the run is interrupted.
    void forget();

private:
    std::uint64_t id_ = 0;
};

// Runs a step that an interruption must not split: it waits until the step is done.
// Keep such steps short.
void without_interruption(const std::function<void()>& step);

// Held while a registered file is written by a call that opens it by its name
// (CopyFileExW, the database engine): the clean-up of an interruption waits for
// every such write to end before it deletes, so that none makes again a file it
// has just deleted. Begin it inside a without_interruption() step once the file
// is registered (the step that registers it, or one of its own), end it as soon
// as the call returns, and let the call end soon once interruption_started().
class NamedWrite {
public:
    NamedWrite() = default;
    static NamedWrite begin();
    ~NamedWrite() { end(); }
    NamedWrite(NamedWrite&& other) noexcept;
    NamedWrite& operator=(NamedWrite&& other) noexcept;
    NamedWrite(const NamedWrite&) = delete;
    NamedWrite& operator=(const NamedWrite&) = delete;

    void end();

private:
    bool held_ = false;
};

// Ends the run as an interruption would, with this exit status, from the program's
// own thread: the main window was closed while jobs were running. The system log
// gets "Run ended: " + the cause.
[[noreturn]] void end_interrupted_run(int exit_status, std::string_view cause);

// True once the run is being ended so, on any thread. Long work that holds files
// open asks it now and then and lets go of them: on some hosts the clean-up cannot
// delete a file that is open, and it gives the work a moment to let go.
bool interruption_started();

// ---------------------------------------------------------------------------
// Files

// A file time as Windows keeps it: 100-nanosecond units since 1601-01-01 UTC.
using FileTime = std::int64_t;
// 1970-01-01 00:00 UTC as a file time.
inline constexpr FileTime kUnixEpochFileTime = 116'444'736'000'000'000;

struct FileTimes {
    FileTime creation = 0;
    FileTime last_access = 0;
    FileTime last_write = 0;
};
// The times of a file or folder, links followed. The creation time is the birth
// time where the file system keeps one, else the last write time. Empty when the
// path names nothing.
std::optional<FileTimes> file_times(std::string_view path_text);
// Sets the last access and last write times (links followed). The creation time
// cannot be set on this host and is left as it is.
bool set_file_times(std::string_view path_text, const FileTimes& times);

// Told the bytes copied so far and the size of the file while a copy runs: on the
// calling thread, every few milliseconds while a large file is copied on a thread
// of its own, and once the whole is copied. One that throws stops the copy, which
// leaves nothing behind, and the exception goes on to the caller.
using CopyProgress = std::function<void(std::uint64_t copied, std::uint64_t total)>;
// Copies a regular file's content, permission bits and last access and write
// times (as they stood before the copy read it) to a new file, links followed; a
// copy whose times cannot be set is kept all the same. The copy has no name until
// its bytes are complete, where the file system allows that, so that nothing cut
// short (even by a kill) leaves a part of a file under any name; elsewhere it
// claims a temporary name first and is removed when it fails. A source that is no
// regular file is never read (a FIFO could keep the copy waiting for ever). A
// copy that fails leaves no file behind and nothing else changed (reason in
// last_error()); source_failed and not_regular tell that the source was at fault,
// failed that the target's side was, target_exists that every name was taken.
enum class CopyResult { copied, target_exists, source_failed, not_regular, failed };
// The names a copy may take: its target's own name, which a copy without a name
// takes at once when it is free (empty: none), and the temporary names beside it,
// drawn one at a time while the ones before are taken (empty when none is left).
struct CopyNames {
    std::string_view target;
    std::function<std::optional<std::string>()> next_temporary;
};
// What a copy that succeeded found: the name it took, the bytes it wrote, and
// whether the source's size or last write time moved while it was read.
struct CopyFacts {
    std::string name;
    bool in_place = false;  // the name is the target's own; else a temporary
    std::uint64_t bytes = 0;
    bool source_changed = false;
    // A temporary name is deleted if the run is interrupted before the caller has
    // put the copy in place, from the moment the copy took it.
    RemovedIfInterrupted if_interrupted;
};
CopyResult copy_file(std::string_view source_text, const CopyNames& names, const CopyProgress& progress = {},
                     CopyFacts* facts = nullptr);
// The same with one temporary name and no target: the name must be free.
CopyResult copy_file(std::string_view source_text, std::string_view temporary_text, const CopyProgress& progress = {},
                     CopyFacts* facts = nullptr);

// copy_file in two steps, so that copies can be made on several threads at once
// and named on one, in an order of the caller's. make_copy writes the copy and
// leaves it without a name where the file system allows that (else it claims a
// temporary name of `names`, as copy_file does); name_copy then names it as
// copy_file would have, and tells what it found. Both take the same names. A
// MadeCopy dropped before it was named leaves nothing behind. Where no file can be
// made without a name (Windows), make_copy copies to a temporary name and
// name_copy has nothing left to do but tell.
class MadeCopy {
public:
    MadeCopy();
    ~MadeCopy();
    MadeCopy(MadeCopy&& other) noexcept;
    MadeCopy& operator=(MadeCopy&& other) noexcept;

    struct Host;  // each host's own: the open copy, its name so far

private:
    friend CopyResult make_copy(std::string_view, const CopyNames&, const CopyProgress&, MadeCopy&);
    friend CopyResult name_copy(MadeCopy&, const CopyNames&, CopyFacts*);
    std::unique_ptr<Host> host_;
};
CopyResult make_copy(std::string_view source_text, const CopyNames& names, const CopyProgress& progress,
                     MadeCopy& copy);
// Only for a copy that make_copy made: failed otherwise.
CopyResult name_copy(MadeCopy& copy, const CopyNames& names, CopyFacts* facts = nullptr);

// The folder for temporary files ($TMPDIR, else /tmp) as path text with a trailing
// backslash; empty when it cannot be written as path text.
std::string temp_folder();
// Creates a new, empty, owner-only file in a folder, named with the first three
// characters of the prefix, up to four hexadecimal digits and ".tmp"; its path
// text, or empty when none could be made.
std::string create_temp_file(std::string_view folder_text, std::string_view prefix);

// A new, empty, owner-only work folder in a folder, named like create_temp_file's
// files but without the extension and made exclusively (never one that exists
// already), beside a new owner-only file of the same name and ".tmp" that holds
// this process's mark: a later run can then tell the work folder of a process that
// no longer lives from one in use.
struct MarkedFolder {
    std::string folder;
    std::string mark_file;
};
std::optional<MarkedFolder> create_marked_temp_folder(std::string_view folder_text, std::string_view prefix);
// Deletes for good, in a folder, the marked folders with that prefix (and their
// mark files) that this user made for processes that no longer live. Nothing else:
// not another user's, not one without a mark, not a link.
void remove_abandoned_temp_folders(std::string_view folder_text, std::string_view prefix);

// The statements MkDir, Kill (one file, no wildcards) and Name. Name refuses to
// replace an existing file (58 "File already exists"); naming a file as itself
// succeeds. An owner-only folder is for work files nobody else may read.
enum class FolderAccess { everyone, owner_only };
void make_folder(std::string_view path_text, FolderAccess access = FolderAccess::everyone);
// Takes from a folder or file the run made whatever access its source does not
// give, so that what is private stays private in the snapshot: on POSIX the
// group's and others' permission bits that the source lacks (the owner's stay:
// the run writes into it). Where access comes from the folder a file or folder
// is in (Windows), nothing changes. Nothing either when one of them cannot be
// looked at.
void narrow_access(std::string_view path_text, std::string_view source_text);
// The same with the source's permission bits given: an archive is no more open
// than the least open of what it holds.
void narrow_access_to(std::string_view path_text, std::uint32_t permissions);
// Gives a file the run made the permission bits of its source, as copies keep
// them. Nothing on Windows, nor when one of them cannot be looked at.
void give_access_of(std::string_view path_text, std::string_view source_text);
void remove_file(std::string_view path_text);
void rename_file(std::string_view from_text, std::string_view to_text);

// Names a file as another, replacing what had that name in one step: whoever
// looks finds the old file or the new one, never neither. The new file's data
// reaches the disk before its new name does, so that a power cut leaves one of
// the two whole too. False when it cannot.
bool replace_file(std::string_view from_text, std::string_view to_text);

// Moves a file or a whole folder to the user's trash. False when the trash cannot
// take it; the item is then left where it is, never deleted for good instead.
bool move_to_trash(std::string_view path_text);
// Deletes a file or a folder with everything in it, for good. Links inside are
// removed themselves, never followed.
bool delete_permanently(std::string_view path_text);

// Whether following the path would pass through a symbolic link that another user
// may have planted: on POSIX one that belongs neither to this user nor to root,
// on Windows one owned neither by this user nor by the system.
// Nothing is to be written through such a path.
bool passes_foreign_link(std::string_view path_text);

// ---------------------------------------------------------------------------
// Files: reading

// What reading a file whole found.
enum class FileRead { read, not_a_regular_file, too_large };
// A regular file's bytes, links followed, into `bytes` when it holds at most
// byte_limit of them. Anything else (a folder, a FIFO, a device) is neither read
// nor waited for. Throws the language's file error when the file cannot be opened
// or read (53 "File not found" for a missing one).
FileRead read_regular_file(std::string_view path_text, std::size_t byte_limit, std::string& bytes);

// Tells one file from another whatever path names it: relative or absolute, through
// links or hard links.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// Links followed; empty when the path names nothing.
std::optional<FileIdentity> file_identity(std::string_view path_text);

// ---------------------------------------------------------------------------
// Clock: moments as local dates (text/dates.h) and back

// The current local date and time, to the second.
Date now();

// A moment as Unix counts it: seconds since 1970-01-01 00:00 UTC, and the
// nanoseconds past that second.
struct UnixTime {
    std::int64_t seconds = 0;
    std::int32_t nanoseconds = 0;
};
// A moment's local date by the host's time zone rules. Dates carry whole seconds:
// the fraction of a second is dropped.
Date local_date_from_unix(UnixTime time);
// The moment of a local date; a local time that a clock change skips or repeats is
// read as mktime reads it. Error 6 "Overflow" when there is no such moment.
UnixTime unix_from_local_date(Date date);
// The same without a time zone: the UTC calendar time read as the date and back.
Date utc_date_from_unix(UnixTime time);
UnixTime unix_from_utc_date(Date date);
// The same for file times.
Date local_date_from_file_time(FileTime time);
FileTime file_time_from_local_date(Date date);
Date utc_date_from_file_time(FileTime time);
FileTime file_time_from_utc_date(Date date);

// ---------------------------------------------------------------------------
// Services for the windows, the console and the log

// Sends one line to the system's debug log (syslog at debug level).
void debug_output(std::string_view line);

// How much a line of the system log matters.
enum class Severity { error, warning, notice, information };
// Sends one line to the system log (syslog, identity "quillet", facility user;
// journald keeps it), where a run's account outlives the run. Line breaks in it
// become blanks. Where no log daemon runs, the line is dropped without a word.
void system_log(Severity severity, std::string_view line);

// Milliseconds on a steady clock. The count wraps around after 2^32.
std::uint32_t tick_count();

DateTime local_time_now();
// The user's separators between day, month and year, and between hours, minutes
// and seconds; "/" and ":" where the user's locale names none.
std::string date_separator();
std::string time_separator();

enum class StandardStream { input, output, error };
bool is_terminal(StandardStream stream);
// The width in columns of the terminal on standard error; empty when there is none.
std::optional<int> terminal_columns();
// One line from standard input without its line end; empty at end of input. With
// hide_typing, a terminal does not echo what is typed.
std::optional<std::string> read_input_line(bool hide_typing);
// Shows text on the terminal that standard input reads from, for a question
// typed there while the messages go elsewhere (standard error into a file).
void show_at_input_terminal(std::string_view text);

// Appends a line and a line end to a file, creating the file if needed; the file
// is opened and closed for every line. Throws the language's file error when the
// file cannot be written.
void append_line_to_file(std::string_view path_text, std::string_view line);

// The running program's file name, without its folder.
std::string executable_name();
// The program's arguments as main received them, without the program's own name,
// as UTF-8 text. On Windows main's argv is in the ANSI code page, which cannot
// hold every file name: the arguments are read from the UTF-16 command line.
std::vector<std::string> program_arguments(int argc, char** argv);
// The arguments as one line, as the user typed them, where the system hands the
// program such a line (Windows, the text after the program's name); empty where
// a shell has split it already.
std::optional<std::string> command_line_as_typed();
// An environment variable's value; empty when it is not set.
std::optional<std::string> environment_variable(std::string_view name);
// Drops the settings of the environment that the host's libraries would misread.
// A base folder of the desktop's given as a relative path is to be ignored, but
// GIO takes it as it stands, and the trash would be made below whatever folder the
// run starts in, where no one looks for it. Called first thing in main, before any
// other thread starts.
void ignore_misleading_environment();

// ---------------------------------------------------------------------------
// Zip

// What the archiver needs of a file or folder it adds, read in one go, links
// followed; empty when the path names nothing that can be read.
struct ArchiveStatus {
    bool directory = false;
    std::uint64_t size = 0;
    FileTime last_write = 0;
    // The POSIX permission bits; where the host keeps none, a folder's usual ones.
    std::uint32_t permissions = 0755;
};
std::optional<ArchiveStatus> archive_status(std::string_view path_text);
// Removes a folder only when it is empty; false otherwise (reason in last_error()).
bool remove_empty_folder(std::string_view path_text);

// ---------------------------------------------------------------------------
// Programs

// The program registered to open a file: the executable of the default
// application for the file's content type, as path text. Empty when the file
// cannot be read, nothing is registered for its type, or the executable is
// nowhere to be found.
std::string registered_program(std::string_view file_text);
// Whether the path names a file that the host runs as a program.
bool is_program(std::string_view path_text);

// A started process as the host knows it; 0 names none.
using ProcessHandle = std::int32_t;
// Starts a program with its arguments, which reach it as they are, in the given
// working folder (ours when empty). A program named without a drive or a
// backslash is looked for along PATH. The new process reads no input. 0 when it
// could not be started (reason in last_error()).
ProcessHandle start_process(std::string_view program_text, const std::vector<std::string>& arguments,
                            std::string_view working_folder_text);
struct ProcessStatus {
    bool ended = false;
    // Once ended: its exit status, or 128 + the signal that ended it.
    std::int32_t exit_code = 0;
};
// Waits up to that many milliseconds for a started process to end. Empty when
// the handle names no process started here.
std::optional<ProcessStatus> wait_for_process(ProcessHandle process, std::uint32_t milliseconds);
// Forgets a started process. One that still runs goes on by itself.
void close_process(ProcessHandle process);

// ---------------------------------------------------------------------------
// The host's database engine

// The database engine of the host's office software, driven by automation: on
// Windows the DBEngine of Access ("Access.Application" through COM). No other
// host has one.
class HostDatabaseEngine {
public:
    virtual ~HostDatabaseEngine() = default;
    // Writes a compacted copy of the database input_text to output_text, a file
    // that does not exist yet; connect is empty or ";pwd=" + the password. Raises
    // the engine's own error (its number and description) when it cannot.
    virtual void compact(const std::string& input_text, const std::string& output_text,
                         const std::string& connect) = 0;
};
// Starts the host's database engine. Error 429 "ActiveX component can't create
// object" when the host has none or it cannot be started.
std::unique_ptr<HostDatabaseEngine> create_host_database_engine();

// ---------------------------------------------------------------------------
// Modules: parts of the program loaded only when they are used

// A module of the program's own (a shared library on this host), stored in the
// folder that holds the running program. Once loaded it stays loaded until the
// program ends, so the functions it hands out stay valid.
class ProgramModule {
public:
    // The function the module exports under a plain (extern "C") name, as the
    // given function type; null when it exports nothing by that name.
    template <typename Function>
    Function* entry_point(std::string_view name) const {
        return reinterpret_cast<Function*>(entry_point_address(name));
    }

private:
    friend std::optional<ProgramModule> load_program_module(std::string_view file_name, std::string& failure);
    explicit ProgramModule(void* handle) : handle_(handle) {}
    void* entry_point_address(std::string_view name) const;

    void* handle_;
};
// Loads the module of that file name from the running program's folder, with every
// name it needs from the program and its libraries resolved at once. Empty when it
// cannot be loaded; failure then tells why in one line (the file is missing, or a
// name it needs is defined nowhere).
std::optional<ProgramModule> load_program_module(std::string_view file_name, std::string& failure);

}  // namespace quillet::platform
