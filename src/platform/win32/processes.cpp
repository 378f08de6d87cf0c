// Programs started and waited for: CreateProcessW with a command line quoted so
// that the program reads back exactly the arguments given, WaitForSingleObject to
// learn that it has ended. A process is known by its id until it is closed; its
// handle is kept until then, so its exit code can be read as often as asked. An
// interrupted run stops the programs it has not closed.

#include <windows.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/platform.h"
#include "platform/win32/command_line.h"
#include "platform/win32/interruption.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// How long, in milliseconds, a stopped program may take to end.
constexpr DWORD kStopLimit = 2000;

struct StartedProcesses {
    // The clean-up of an interrupted run reads them from a thread of its own.
    std::timed_mutex mutex;
    std::map<DWORD, HANDLE> by_id;
    bool stopped = false;  // by that clean-up: nothing starts any more
};

// Never destroyed: an interruption may come while the program's statics are torn down.
StartedProcesses& started() {
    static StartedProcesses* const instance = new StartedProcesses;
    return *instance;
}

bool is_bare_name(std::string_view program_text) {
    return program_text.find_first_of("\\/:") == std::string_view::npos;
}

// A bare name as the system finds a program to start (the program's folder, the
// current folder, the system folders, PATH), ".exe" added when it has no extension.
std::optional<std::wstring> program_along_path(std::string_view name) {
    const std::wstring wanted = win32::wide(name);
    std::wstring found(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = SearchPathW(nullptr, wanted.c_str(), L".exe", static_cast<DWORD>(found.size()),
                                         found.data(), nullptr);
        if (length == 0) return std::nullopt;
        if (length < found.size()) {
            found.resize(length);
            return found;
        }
        found.resize(length);
    }
}

// A handle the started process inherits; closed when this goes.
class InheritedHandle {
public:
    InheritedHandle() = default;
    explicit InheritedHandle(HANDLE handle) : handle_(handle) {}
    ~InheritedHandle() {
        if (valid()) CloseHandle(handle_);
    }
    InheritedHandle(const InheritedHandle&) = delete;
    InheritedHandle& operator=(const InheritedHandle&) = delete;

    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

    // The device NUL: the started process reads no input, so the program's own
    // questions keep the console.
    static HANDLE no_input() {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        return CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                           0, nullptr);
    }
    // An inheritable copy of one of the program's standard handles; none when it has none.
    static HANDLE copy_of(DWORD standard) {
        const HANDLE own = GetStdHandle(standard);
        HANDLE copy = nullptr;
        if (own == nullptr || own == INVALID_HANDLE_VALUE) return nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
            return nullptr;
        }
        return copy;
    }

private:
    HANDLE handle_ = nullptr;
};

// Only the three standard handles pass to the started process: a file that
// another thread has open (inheritable, as the C runtime opens them) must not
// stay open in a program that outlives it.
class OnlyTheseHandles {
public:
    explicit OnlyTheseHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_ = std::make_unique<char[]>(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.get());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) return;
        list_ = list;
        if (!UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                       handles_.size() * sizeof(HANDLE), nullptr, nullptr)) {
            DeleteProcThreadAttributeList(list_);
            list_ = nullptr;
        }
    }
    ~OnlyTheseHandles() {
        if (list_ != nullptr) DeleteProcThreadAttributeList(list_);
    }
    OnlyTheseHandles(const OnlyTheseHandles&) = delete;
    OnlyTheseHandles& operator=(const OnlyTheseHandles&) = delete;

    // Null where the system cannot restrict them: every inheritable handle passes then.
    LPPROC_THREAD_ATTRIBUTE_LIST get() const { return list_; }

private:
    std::vector<HANDLE> handles_;
    std::unique_ptr<char[]> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace

ProcessHandle start_process(std::string_view program_text, const std::vector<std::string>& arguments,
                            std::string_view working_folder_text) {
    if (program_text.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const auto program = is_bare_name(program_text) ? program_along_path(program_text)
                                                    : std::optional<std::wstring>(win32::wide(program_text));
    if (!program) return 0;
    std::vector<std::wstring> wide_arguments;
    for (const std::string& argument : arguments) wide_arguments.push_back(win32::wide(argument));
    std::wstring command_line = win32::quoted_command_line(*program, wide_arguments);
    const std::wstring folder = win32::wide(working_folder_text);

    const InheritedHandle input(InheritedHandle::no_input());
    const InheritedHandle output(InheritedHandle::copy_of(STD_OUTPUT_HANDLE));
    const InheritedHandle error(InheritedHandle::copy_of(STD_ERROR_HANDLE));
    std::vector<HANDLE> passed;
    for (const InheritedHandle* handle : {&input, &output, &error}) {
        if (handle->valid()) passed.push_back(handle->get());
    }
    const OnlyTheseHandles only(passed);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input.valid() ? input.get() : nullptr;
    startup.StartupInfo.hStdOutput = output.get();
    startup.StartupInfo.hStdError = error.get();
    startup.lpAttributeList = only.get();
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (only.get() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0);
    const std::lock_guard lock(started().mutex);
    if (started().stopped) {
        SetLastError(ERROR_OPERATION_ABORTED);
        return 0;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program->c_str(), command_line.data(), nullptr, nullptr, TRUE, flags, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &process)) {
        return 0;
    }
    CloseHandle(process.hThread);
    started().by_id[process.dwProcessId] = process.hProcess;
    return static_cast<ProcessHandle>(process.dwProcessId);
}

std::optional<ProcessStatus> wait_for_process(ProcessHandle process, std::uint32_t milliseconds) {
    HANDLE handle = nullptr;
    {
        const std::lock_guard lock(started().mutex);
        const auto found = started().by_id.find(static_cast<DWORD>(process));
        if (process == 0 || found == started().by_id.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return std::nullopt;
        }
        handle = found->second;  // closed only by this thread, through close_process
    }
    if (WaitForSingleObject(handle, milliseconds) != WAIT_OBJECT_0) return ProcessStatus{};
    DWORD exit_code = 0;
    GetExitCodeProcess(handle, &exit_code);
    return ProcessStatus{true, static_cast<std::int32_t>(exit_code)};
}

void close_process(ProcessHandle process) {
    const std::lock_guard lock(started().mutex);
    const auto found = started().by_id.find(static_cast<DWORD>(process));
    if (found == started().by_id.end()) return;
    CloseHandle(found->second);
    started().by_id.erase(found);
}

void win32::stop_started_programs() {
    StartedProcesses& all = started();
    // A thread that holds the lock gives it back at once; should it not, the
    // programs are left as they are rather than the clean-up held up.
    if (!all.mutex.try_lock_for(std::chrono::milliseconds(kStopLimit))) return;
    const std::lock_guard lock(all.mutex, std::adopt_lock);
    all.stopped = true;
    for (const auto& [id, handle] : all.by_id) {
        if (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) TerminateProcess(handle, ERROR_OPERATION_ABORTED);
    }
    for (const auto& [id, handle] : all.by_id) WaitForSingleObject(handle, kStopLimit);
}

}  // namespace quillet::platform
