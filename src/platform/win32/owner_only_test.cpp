// What is made for the user's eyes only carries a protected DACL with one entry:
// the current user's.

#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/owner_only.h"
#include "platform/win32/wide_text.h"
#include "support/files.h"
#include "support/wine.h"

namespace quillet::platform {
namespace {

bool is_sid(const void* sid, const wchar_t* text) {
    wchar_t* converted = nullptr;
    if (!ConvertSidToStringSidW(const_cast<void*>(sid), &converted)) return false;
    const bool same = std::wstring(converted) == text;
    LocalFree(converted);
    return same;
}

// Empty when the file's DACL is the protected one entry for the current user;
// else what is wrong with it. Wine keeps no DACL: it makes one from the Unix
// permissions, which then must let no one else in (no entry for Everyone).
std::string owner_only_fault(const std::string& path_text) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::wstring path = win32::wide(path_text);
    if (GetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor) != ERROR_SUCCESS) {
        return "no security can be read";
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const std::wstring user = win32::current_user_sid().value_or(L"?");
    std::string fault;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount && fault.empty(); ++i) {
        void* entry = nullptr;
        GetAce(dacl, i, &entry);
        const void* sid = &static_cast<const ACCESS_ALLOWED_ACE*>(entry)->SidStart;
        if (testing::running_under_wine() ? is_sid(sid, L"S-1-1-0") : !is_sid(sid, user.c_str())) {
            fault = "open to another than the user";
        }
    }
    if (!testing::running_under_wine() && (dacl == nullptr || dacl->AceCount != 1)) fault = "not one entry";
    if (!testing::running_under_wine() && (control & SE_DACL_PROTECTED) == 0) fault = "entries from the folder above";
    LocalFree(descriptor);
    return fault;
}

TEST(OwnerOnly, WorkFoldersTemporaryFilesAndMarksAreTheUsersAlone) {
    testing::ScratchFolder folder;
    make_folder(folder.text("work"), FolderAccess::owner_only);
    const std::string temporary = create_temp_file(folder.text(), "qow");
    const auto marked = create_marked_temp_folder(folder.text(), "qom");
    ASSERT_FALSE(temporary.empty());
    ASSERT_TRUE(marked);
    for (const std::string& made : {folder.text("work"), temporary, marked->folder, marked->mark_file}) {
        EXPECT_EQ(owner_only_fault(made), "") << made;
    }
}

}  // namespace
}  // namespace quillet::platform
