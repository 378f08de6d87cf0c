#pragma once
// Security for files and folders that nobody but their maker may open: a
// protected DACL (nothing inherited from the folder above) with one entry, full
// control for the current user, inherited by everything made inside.

#include <windows.h>

#include <optional>
#include <string>

namespace quillet::platform::win32 {

class OwnerOnly {
public:
    OwnerOnly();
    ~OwnerOnly();
    OwnerOnly(const OwnerOnly&) = delete;
    OwnerOnly& operator=(const OwnerOnly&) = delete;

    // Null when the security could not be made (reason in GetLastError): the
    // caller then makes nothing rather than something everyone may read.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// The current user's security identifier in its text form ("S-1-5-21-..."), and
// the one that owns what the user makes (the user, or Administrators for an
// elevated administrator); empty when it cannot be read.
std::optional<std::wstring> current_user_sid();
std::optional<std::wstring> default_owner_sid();

// Whether the file or folder itself (a link not followed) belongs to the current
// user, as its maker or as the owner of what the user makes.
bool owned_by_current_user(const std::wstring& system_path);
// The owner of the file or folder itself, as text; empty when it cannot be read.
std::optional<std::wstring> owner_sid(const std::wstring& system_path);

}  // namespace quillet::platform::win32
