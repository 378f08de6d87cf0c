// Access's database engine through automation, as the original drove it:
// CreateObject("Access.Application"), its DBEngine property, and
// DBEngine.CompactDatabase(input, output, , , ";pwd=..."), each call late bound
// through IDispatch. Where Access is not installed (Wine, for one) the object
// cannot be created: error 429, and compaction goes down the command-line route.
// COM is initialised on the calling thread for as long as the engine lives; Access
// is asked to quit when the engine goes.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/wide_text.h"
#include "text/line_breaks.h"
#include "text/vb_errors.h"

namespace quillet::platform {

namespace {

// Access's acQuitSaveNone: nothing of Access's own is to be saved.
constexpr int kQuitSaveNone = 2;

class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

// One reference to an automation object.
class Dispatch {
public:
    Dispatch() = default;
    explicit Dispatch(IDispatch* object) : object_(object) {}
    ~Dispatch() {
        if (object_ != nullptr) object_->Release();
    }
    Dispatch(Dispatch&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    Dispatch& operator=(Dispatch&&) = delete;
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

    IDispatch* get() const { return object_; }

private:
    IDispatch* object_ = nullptr;
};

// The arguments of one call, in the order the method names them; COM wants them
// the other way round. Owns the text it passes.
class Arguments {
public:
    Arguments() = default;
    ~Arguments() {
        for (VARIANT& argument : reversed_) VariantClear(&argument);
    }
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    Arguments& text(const std::string& value) {
        VARIANT argument;
        VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = SysAllocString(win32::wide(value).c_str());
        return add(argument);
    }
    Arguments& number(int value) {
        VARIANT argument;
        VariantInit(&argument);
        argument.vt = VT_I4;
        argument.lVal = value;
        return add(argument);
    }
    // An optional argument left out, as a blank between two commas in the language.
    Arguments& missing() {
        VARIANT argument;
        VariantInit(&argument);
        argument.vt = VT_ERROR;
        argument.scode = DISP_E_PARAMNOTFOUND;
        return add(argument);
    }
    DISPPARAMS parameters() {
        return DISPPARAMS{reversed_.data(), nullptr, static_cast<UINT>(reversed_.size()), 0};
    }

private:
    Arguments& add(const VARIANT& argument) {
        reversed_.insert(reversed_.begin(), argument);
        return *this;
    }
    std::vector<VARIANT> reversed_;
};

std::string text_of(BSTR text) {
    return text != nullptr ? win32::utf8(std::wstring_view(text, SysStringLen(text))) : "";
}

std::string system_text(HRESULT result) {
    SetLastError(static_cast<DWORD>(result));
    const std::string text = WithoutLineEnd(last_error_text());
    return text.empty() ? "Automation error" : text;
}

// The error the language would raise for a failed call: an error of the object
// (DAO's "Not a valid password." is 3031) keeps its own number and description;
// a failure of COM itself is its HRESULT.
Error automation_error(HRESULT result, EXCEPINFO& exception) {
    if (result != DISP_E_EXCEPTION) return Error(static_cast<std::int32_t>(result), "", system_text(result));
    if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
    const std::string source = text_of(exception.bstrSource);
    std::string description = text_of(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    const auto code = static_cast<std::uint32_t>(exception.scode);
    std::int32_t number = exception.wCode;
    if (number == 0) {
        number = HRESULT_FACILITY(code) == FACILITY_CONTROL ? static_cast<std::int32_t>(HRESULT_CODE(code))
                                                             : static_cast<std::int32_t>(code);
    }
    if (description.empty()) description = system_text(static_cast<HRESULT>(code));
    return Error(number, source, description);
}

VARIANT call(const Dispatch& object, const wchar_t* name, WORD kind, Arguments& arguments) {
    DISPID id = 0;
    auto* member = const_cast<wchar_t*>(name);
    HRESULT result = object.get()->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
    EXCEPINFO exception{};
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(result)) {
        DISPPARAMS parameters = arguments.parameters();
        UINT wrong_argument = 0;
        result = object.get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters, &value, &exception,
                                      &wrong_argument);
    }
    if (FAILED(result)) throw automation_error(result, exception);
    return value;
}

Dispatch object_property(const Dispatch& object, const wchar_t* name) {
    Arguments none;
    VARIANT value = call(object, name, DISPATCH_PROPERTYGET, none);
    if (value.vt != VT_DISPATCH || value.pdispVal == nullptr) {
        VariantClear(&value);
        throw vb::error(vb::kCannotCreateObject);
    }
    return Dispatch(value.pdispVal);
}

// Access started by automation stays running, without a window, until told to quit.
void quit(const Dispatch& application) noexcept {
    try {
        Arguments save_none;
        save_none.number(kQuitSaveNone);
        VARIANT ignored = call(application, L"Quit", DISPATCH_METHOD, save_none);
        VariantClear(&ignored);
    } catch (const Error&) {
        // Access went away by itself: nothing is left to quit.
    }
}

class AccessEngine : public HostDatabaseEngine {
public:
    AccessEngine(std::unique_ptr<ComApartment> apartment, Dispatch application, Dispatch db_engine)
        : apartment_(std::move(apartment)), application_(std::move(application)), db_engine_(std::move(db_engine)) {}
    ~AccessEngine() override { quit(application_); }
    AccessEngine(const AccessEngine&) = delete;
    AccessEngine& operator=(const AccessEngine&) = delete;

    void compact(const std::string& input_text, const std::string& output_text, const std::string& connect) override {
        Arguments arguments;
        arguments.text(input_text).text(output_text);
        if (!connect.empty()) arguments.missing().missing().text(connect);
        // Access writes the output by its name, in a process of its own that cannot be
        // told to stop: an interruption waits for it a while before it deletes.
        NamedWrite writing;
        without_interruption([&] { writing = NamedWrite::begin(); });
        VARIANT ignored = call(db_engine_, L"CompactDatabase", DISPATCH_METHOD, arguments);
        VariantClear(&ignored);
    }

private:
    // Declared first: COM stays initialised until the objects are released.
    std::unique_ptr<ComApartment> apartment_;
    Dispatch application_;
    Dispatch db_engine_;
};

}  // namespace

std::unique_ptr<HostDatabaseEngine> create_host_database_engine() {
    auto apartment = std::make_unique<ComApartment>();
    CLSID access{};
    if (FAILED(CLSIDFromProgID(L"Access.Application", &access))) throw vb::error(vb::kCannotCreateObject);
    IDispatch* application = nullptr;
    if (FAILED(CoCreateInstance(access, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&application)))) {
        throw vb::error(vb::kCannotCreateObject);
    }
    Dispatch owned(application);
    try {
        Dispatch db_engine = object_property(owned, L"DBEngine");
        return std::make_unique<AccessEngine>(std::move(apartment), std::move(owned), std::move(db_engine));
    } catch (const Error&) {
        quit(owned);
        throw vb::error(vb::kCannotCreateObject);  // Access without its database engine
    }
}

}  // namespace quillet::platform
