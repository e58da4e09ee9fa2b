#include "win/ProcessToken.h"

#include <sddl.h>

#include "win/Handles.h"

namespace {

std::vector<unsigned char> TokenInformation(TOKEN_INFORMATION_CLASS kind)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    const KernelHandle ownedToken(token);
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<unsigned char> information(size);
    if (size == 0 || !GetTokenInformation(token, kind, information.data(), size, &size))
        return {};
    return information;
}

}  // namespace

PSID UserSidOf(const std::vector<unsigned char>& userInformation)
{
    if (userInformation.size() < sizeof(TOKEN_USER))
        return nullptr;
    return reinterpret_cast<const TOKEN_USER*>(userInformation.data())->User.Sid;
}

std::vector<unsigned char> CurrentUserInformation()
{
    return TokenInformation(TokenUser);
}

std::wstring CurrentUserSidText()
{
    const std::vector<unsigned char> user = CurrentUserInformation();
    wchar_t* text = nullptr;
    if (!UserSidOf(user) || !ConvertSidToStringSidW(UserSidOf(user), &text))
        return std::wstring();
    const LocalMemory ownedText(text);
    return text;
}

bool RunsAsLocalSystem()
{
    const std::vector<unsigned char> user = CurrentUserInformation();
    return UserSidOf(user) && IsWellKnownSid(UserSidOf(user), WinLocalSystemSid);
}

bool RunsAtHighIntegrity()
{
    const std::vector<unsigned char> label = TokenInformation(TokenIntegrityLevel);
    if (label.empty())
        return false;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
    const DWORD level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
    return level >= SECURITY_MANDATORY_HIGH_RID;
}
