#include "platform/win32/owner_only.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/win32/file_status.h"

namespace quillet::platform::win32 {

namespace {

std::optional<std::wstring> sid_text(PSID sid) {
    wchar_t* text = nullptr;
    if (sid == nullptr || !ConvertSidToStringSidW(sid, &text)) return std::nullopt;
    std::wstring result(text);
    LocalFree(text);
    return result;
}

// One piece of the process's token: TokenUser or TokenOwner, whose first member
// is the security identifier.
std::optional<std::wstring> token_sid(TOKEN_INFORMATION_CLASS kind) {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return std::nullopt;
    const Handle token(raw);
    DWORD size = 0;
    GetTokenInformation(token.get(), kind, nullptr, 0, &size);
    if (size == 0) return std::nullopt;
    std::vector<unsigned char> buffer(size);
    if (!GetTokenInformation(token.get(), kind, buffer.data(), size, &size)) return std::nullopt;
    PSID sid = kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                 : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
    return sid_text(sid);
}

}  // namespace

OwnerOnly::OwnerOnly() {
    const auto user = current_user_sid();
    if (!user) return;
    // P: nothing inherited; OICI: files and folders made inside get the entry too.
    const std::wstring sddl = L"D:P(A;OICI;FA;;;" + *user + L")";
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr)) {
        descriptor_ = nullptr;
        return;
    }
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}

OwnerOnly::~OwnerOnly() {
    if (descriptor_ != nullptr) LocalFree(descriptor_);
}

std::optional<std::wstring> current_user_sid() { return token_sid(TokenUser); }

std::optional<std::wstring> default_owner_sid() { return token_sid(TokenOwner); }

std::optional<std::wstring> owner_sid(const std::wstring& system_path) {
    const Handle file = open_itself(system_path, READ_CONTROL);
    if (!file.valid()) return std::nullopt;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(file.get(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    auto text = sid_text(owner);
    LocalFree(descriptor);
    return text;
}

bool owned_by_current_user(const std::wstring& system_path) {
    const auto owner = owner_sid(system_path);
    return owner && (owner == current_user_sid() || owner == default_owner_sid());
}

}  // namespace quillet::platform::win32
