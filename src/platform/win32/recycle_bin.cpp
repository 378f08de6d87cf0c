// Moving a file or a folder to the recycle bin, never deleting it for good instead.
//
// SHFileOperationW with FOF_ALLOWUNDO deletes for good, without a word under
// FOF_NOCONFIRMATION, whatever the bin cannot take (too large for it, a drive or a
// share without one); FOF_WANTNUKEWARNING only turns that into a question to the
// user. IFileOperation tells a progress sink, before each deletion, whether the
// item will be recycled: the sink refuses every deletion that would not be, and
// the item stays where it is. IFileOperation wants a single-threaded apartment,
// so it runs on a thread of its own, whatever the caller's thread has set up.

#include <shlobj.h>
#include <shobjidl.h>

#include <system_error>
#include <thread>

#include "platform/platform.h"
#include "platform/win32/system_paths.h"
#include "platform/win32/wide_text.h"

namespace quillet::platform {

namespace {

// Refuses every deletion that would not go to the bin; lets everything else be.
class RecycleOnly final : public IFileOperationProgressSink {
public:
    // Lives on the operation's stack: the counts are kept only as COM wants them.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IFileOperationProgressSink) {
            *object = static_cast<IFileOperationProgressSink*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem*) override {
        if ((flags & TSF_DELETE_RECYCLE_IF_POSSIBLE) != 0) return S_OK;
        refused_ = true;
        return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    }
    bool refused() const { return refused_; }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT, IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

private:
    ULONG references_ = 1;
    bool refused_ = false;
};

// A COM interface pointer that releases itself.
template <typename Interface>
class Com {
public:
    Com() = default;
    ~Com() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    Interface** out() { return &pointer_; }

private:
    Interface* pointer_ = nullptr;
};

DWORD win32_code(HRESULT result) {
    if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
    return result == E_OUTOFMEMORY ? ERROR_NOT_ENOUGH_MEMORY : ERROR_CANCELLED;
}

// The shell parses plain full paths, not the \\?\ form.
std::wstring shell_path(std::string_view path_text) {
    const std::wstring path = win32::wide(path_text);
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    full.resize(length < needed ? length : 0);
    return full;
}

// Where IFileOperation is only a shell of itself (Wine's answers E_NOTIMPL), the
// older call does the work, told to warn before any deletion for good
// (FOF_WANTNUKEWARNING): it then asks rather than deleting in silence what the
// bin cannot take.
// Wine's older call moves what a link leads to, not the link: a link is left
// where it is.
DWORD recycle_by_older_call(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(win32::system_path(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return ERROR_CANCELLED;
    }
    std::wstring from = path;
    from.push_back(L'\0');  // a list of names, ended by an empty one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_WANTNUKEWARNING;
    const int result = SHFileOperationW(&operation);
    if (operation.fAnyOperationsAborted) return ERROR_CANCELLED;
    return result == 0 ? 0 : ERROR_CANCELLED;
}

// The whole operation in the thread's own apartment; 0 when the item went to the bin.
DWORD recycle(const std::wstring& path) {
    Com<IShellItem> item;
    HRESULT result = SHCreateItemFromParsingName(path.c_str(), nullptr, IID_PPV_ARGS(item.out()));
    if (FAILED(result)) return win32_code(result);
    Com<IFileOperation> operation;
    result = CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_PPV_ARGS(operation.out()));
    if (result == REGDB_E_CLASSNOTREG || result == E_NOTIMPL) return recycle_by_older_call(path);
    if (FAILED(result)) return win32_code(result);
    RecycleOnly sink;
    DWORD cookie = 0;
    // Nothing is touched before PerformOperations: any of these that is not
    // implemented leaves the work to the older call.
    result = operation->SetOperationFlags(FOF_ALLOWUNDO | FOFX_RECYCLEONDELETE | FOF_NOCONFIRMATION | FOF_SILENT |
                                          FOF_NOERRORUI | FOFX_EARLYFAILURE);
    if (SUCCEEDED(result)) result = operation->Advise(&sink, &cookie);
    if (SUCCEEDED(result)) result = operation->DeleteItem(item.get(), nullptr);
    if (result == E_NOTIMPL) return recycle_by_older_call(path);
    if (SUCCEEDED(result)) result = operation->PerformOperations();
    if (cookie != 0) operation->Unadvise(cookie);
    BOOL aborted = FALSE;
    operation->GetAnyOperationsAborted(&aborted);
    if (sink.refused()) return ERROR_CANCELLED;
    if (FAILED(result)) return win32_code(result);
    return aborted ? ERROR_CANCELLED : 0;
}

}  // namespace

bool move_to_trash(std::string_view path_text) {
    const std::wstring path = shell_path(path_text);
    const std::wstring system = win32::system_path(path);
    if (GetFileAttributesW(system.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    DWORD reason = ERROR_CANCELLED;
    // The recycle bin writes the item's record, then moves the item: an interruption
    // in between would leave a record without an item.
    without_interruption([&] {
        try {
            std::thread apartment([&] {
                const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
                if (FAILED(started)) {
                    reason = win32_code(started);
                    return;
                }
                reason = recycle(path);
                CoUninitialize();
            });
            apartment.join();
        } catch (const std::system_error&) {
            reason = ERROR_NOT_ENOUGH_MEMORY;  // no thread could be started
        }
    });
    // The older call can report success for an item it was told not to delete
    // (Wine's, when its question cannot be shown): what is still there was not taken.
    if (reason == 0 && GetFileAttributesW(system.c_str()) != INVALID_FILE_ATTRIBUTES) reason = ERROR_CANCELLED;
    SetLastError(reason);
    return reason == 0;
}

}  // namespace quillet::platform
