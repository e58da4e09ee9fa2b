#include "staging/TemporaryFolder.h"

#include <stdexcept>

#include "staging/FolderHold.h"
#include "staging/FolderSecurity.h"
#include "win/Kernel32Export.h"
#include "win/ProcessToken.h"

namespace {

[[noreturn]] void Fail()
{
    throw std::runtime_error("CreateDirectory failed");
}

std::wstring ReadTempPath(TempPathFunction* getTempPath)
{
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = getTempPath(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH)
        Fail();
    return std::wstring(buffer, length);
}

std::wstring SystemTempFolder(const std::wstring& windowsFolder)
{
    if (windowsFolder.empty())
        Fail();
    const std::wstring path = windowsFolder + L"\\SystemTemp";
    FolderSecurity security(AdministratorsOnlySddl());
    if (CreateDirectoryW(path.c_str(), security.Attributes()))
        return path + L"\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS ||
        !HoldOwnedFolder(path, {Trustee::System, Trustee::Administrators, Trustee::TrustedInstaller}))
        Fail();
    return path + L"\\";
}

}  // namespace

TempFolderSources SystemTempFolderSources()
{
    TempFolderSources sources;
    sources.getTempPath2 = Kernel32Export<TempPathFunction>("GetTempPath2W");
    sources.getTempPath = GetTempPathW;
    sources.runsAsSystem = RunsAsLocalSystem();
    wchar_t windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        sources.windowsFolder.assign(windows, length);
    return sources;
}

std::wstring TemporaryFolder(const TempFolderSources& sources)
{
    if (sources.getTempPath2)
        return ReadTempPath(sources.getTempPath2);
    if (sources.runsAsSystem)
        return SystemTempFolder(sources.windowsFolder);
    return ReadTempPath(sources.getTempPath);
}
