#include "staging/FolderSecurity.h"

#include <sddl.h>

#include <stdexcept>

FolderSecurity::FolderSecurity(const std::wstring& sddl)
{
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &made, nullptr))
        throw std::runtime_error("CreateDirectory failed");
    descriptor.reset(made);
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = made;
    attributes.bInheritHandle = FALSE;
}

// P: protected; OICI: inherited by files and folders inside; FA: full
// access. ML with NW: a mandatory label whose no-write-up policy keeps
// processes below high integrity (HI) from writing, and lets them read.
std::wstring PrivateFolderSddl(const std::wstring& userSid, bool highIntegrity)
{
    std::wstring sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + userSid + L")";
    if (highIntegrity)
        sddl += L"S:(ML;OICI;NW;;;HI)";
    return sddl;
}

std::wstring AdministratorsOnlySddl()
{
    return L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
}
