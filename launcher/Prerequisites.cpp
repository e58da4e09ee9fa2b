#include "launcher/Prerequisites.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "win/Handles.h"
#include "launcher/SetupMessage.h"
#include "win/SystemFolders.h"

bool IsSupportedWindows()
{
    OSVERSIONINFOEXW required = {};
    required.dwOSVersionInfoSize = sizeof required;
    required.dwMajorVersion = 6;
    required.dwMinorVersion = 1;
    required.wServicePackMajor = 1;

    // Compared together: a higher major version passes whatever its minor version.
    ULONGLONG conditions = 0;
    conditions = VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&required, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) != 0;
}

bool IsDotNet35Registered()
{
    HKEY key = nullptr;
    // No view flag: a 32-bit launcher looks at the 32-bit view of a 64-bit system.
    const LONG status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v3.5", 0, KEY_READ, &key);
    RegistryKey opened(status == ERROR_SUCCESS ? key : nullptr);
    return opened.valid();
}

void DiagnoseDotNet35()
{
    if (IsDotNet35Registered())
        return;
    const int answer = ShowMessageBox(
        L"Failed to start Setup. It looks like Microsoft .NET 3.5 has been turned off on this computer.\n"
        L"Open the Windows Features app to turn it back on?",
        MB_OKCANCEL | MB_ICONERROR);
    if (answer != IDOK)
        return;
    // A 32-bit caller would otherwise be sent to the SysWOW64 folder, which has no
    // Windows Features app. Fails harmlessly on 32-bit Windows.
    PVOID previous = nullptr;
    Wow64DisableWow64FsRedirection(&previous);
    // With redirection off, the system folder is the 64-bit one on a 64-bit system.
    const std::wstring app = InSystemFolder(L"OptionalFeatures.exe");
    if (!app.empty())
        ShellExecuteW(nullptr, L"open", app.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
