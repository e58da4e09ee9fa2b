#pragma once

#include <windows.h>

#include <string>

using TempPathFunction = DWORD WINAPI(DWORD, LPWSTR);

// What the temporary folder is found from: the system's by default,
// stand-ins in tests.
struct TempFolderSources {
    TempPathFunction* getTempPath2 = nullptr;  // null where Windows lacks it
    TempPathFunction* getTempPath = nullptr;
    bool runsAsSystem = false;
    std::wstring windowsFolder;  // without a trailing backslash
};

TempFolderSources SystemTempFolderSources();

// The temporary folder, ending with a backslash. SYSTEM stages under
// %WINDIR%\SystemTemp, which only SYSTEM and the Administrators may write:
// GetTempPath2W gives it where Windows has it, and where it does not (Windows
// 7, 8.1, older Windows 10) the folder is made, or trusted only when it is a
// real folder that SYSTEM, the Administrators or TrustedInstaller own. Never
// C:\Windows\Temp, where any user may plant BrinmoorSetup first as a link.
// Everyone else gets their TEMP. Throws "CreateDirectory failed" when it
// cannot be read or does not fit the 260-character buffer: a cut path would
// be relative, and the run would stage beside the launcher.
std::wstring TemporaryFolder(const TempFolderSources& sources = SystemTempFolderSources());
