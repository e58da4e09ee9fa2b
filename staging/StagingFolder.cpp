#include "staging/StagingFolder.h"

#include <windows.h>
#include <rpc.h>

#include <stdexcept>

#include "staging/FolderHold.h"
#include "staging/FolderSecurity.h"
#include "staging/TemporaryFolder.h"
#include "win/ProcessToken.h"

namespace {

const int NameTries = 5;

[[noreturn]] void Fail()
{
    throw std::runtime_error("CreateDirectory failed");
}

// Held from here to the end of the run: with BrinmoorSetup held without
// delete sharing, its path cannot be re-pointed at another folder after the
// run folder's name became known.
FileHandle HoldRoot(const std::wstring& root)
{
    // Exists already after any earlier run, perhaps made by someone else.
    CreateDirectoryW(root.c_str(), nullptr);
    FileHandle hold = HoldOwnedFolder(root, {Trustee::CurrentUser, Trustee::System, Trustee::Administrators});
    if (!hold)
        Fail();
    return hold;
}

}  // namespace

std::wstring NewUuidText()
{
    UUID uuid = {};
    if (UuidCreate(&uuid) != RPC_S_OK)
        return std::wstring();
    RPC_WSTR text = nullptr;
    if (UuidToStringW(&uuid, &text) != RPC_S_OK)
        return std::wstring();
    const std::wstring result = reinterpret_cast<const wchar_t*>(text);
    RpcStringFreeW(&text);
    return result;
}

StagingFolder CreateStagingFolderIn(const std::wstring& temp, FolderNameSource newName)
{
    const std::wstring root = temp + L"BrinmoorSetup\\";
    FileHandle rootHold = HoldRoot(root);
    const std::wstring user = CurrentUserSidText();
    if (user.empty())
        Fail();
    FolderSecurity security(PrivateFolderSddl(user, RunsAtHighIntegrity()));
    for (int attempt = 0; attempt < NameTries; ++attempt) {
        const std::wstring name = newName();
        if (name.empty())
            continue;
        const std::wstring path = root + name + L"\\";
        if (!CreateDirectoryW(path.c_str(), security.Attributes())) {
            if (GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            Fail();
        }
        FileHandle hold = HoldFolder(path);
        if (!hold || !IsHeldWithin(hold.get(), rootHold.get(), name))
            Fail();
        return StagingFolder(root, std::move(rootHold), name, std::move(hold));
    }
    Fail();
}

StagingFolder CreateStagingFolder()
{
    return CreateStagingFolderIn(TemporaryFolder());
}
