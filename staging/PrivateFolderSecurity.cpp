#include "staging/PrivateFolderSecurity.h"

#include <sddl.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail()
{
    throw std::runtime_error("CreateDirectory failed");
}

std::wstring CurrentUserSid()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        Fail();
    const KernelHandle ownedToken(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size))
        Fail();
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text))
        Fail();
    const LocalMemory ownedText(text);
    return text;
}

}  // namespace

// P: protected, nothing inherited; OICI: files and folders made inside get
// the same entries; FA: full access. Everyone else gets nothing.
PrivateFolderSecurity::PrivateFolderSecurity()
{
    const std::wstring sddl =
        L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + CurrentUserSid() + L")";
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &made, nullptr))
        Fail();
    descriptor.reset(made);
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = made;
    attributes.bInheritHandle = FALSE;
}
