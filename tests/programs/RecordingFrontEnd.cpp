// Stands in for the setup front end in tests: records what it was given and
// what lies beside it into %TEMP%\frontend-record.txt, then ends with the exit
// code written in %TEMP%\frontend-exit-code.txt (0 when there is none). With
// %TEMP%\frontend-hold.txt present it waits for that file to go away first.
// With %TEMP%\frontend-tamper.txt present it first tries, as another process
// might, to move, replace or change what it was staged with, and records the
// error code of each try (0: it worked) in %TEMP%\frontend-tamper-result.txt.
// The first front end to find %TEMP%\frontend-orphan.txt takes it (renames it
// frontend-orphan-taken.txt) and then, like a front end whose launcher was
// killed, keeps Brinmoor.msi open, shared for reading only, until that file
// is gone.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/support/Fnv.h"

namespace {

const wchar_t* const Items[] = {
    L"Brinmoor.msi",
    L"DotNet.exe",
    L"SetupUI.exe",
    L"SetupUI.exe.config",
    L"de\\SetupUI.resources.dll",
    L"en-US\\SetupUI.resources.dll",
    L"es\\SetupUI.resources.dll",
    L"fr\\SetupUI.resources.dll",
    L"it\\SetupUI.resources.dll",
    L"ja\\SetupUI.resources.dll",
    L"pt-BR\\SetupUI.resources.dll",
    L"ru\\SetupUI.resources.dll",
    L"zh-Hans\\SetupUI.resources.dll",
};

std::wstring TempPath()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
}

std::wstring OwnFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

DWORD ErrorUnless(BOOL done)
{
    return done ? 0 : GetLastError();
}

DWORD TryToOpen(const std::wstring& path, DWORD access)
{
    const HANDLE file = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return 0;
}

// Whatever worked is put back, so that the run can still end as usual.
void Tamper(const std::wstring& folder, const std::wstring& resultPath)
{
    const std::wstring own = folder.substr(0, folder.size() - 1);
    const std::wstring package = folder + L"Brinmoor.msi";
    std::wofstream result(resultPath.c_str(), std::ios::binary);
    const DWORD renameFolder = ErrorUnless(MoveFileW(own.c_str(), (own + L"-moved").c_str()));
    if (renameFolder == 0)
        MoveFileW((own + L"-moved").c_str(), own.c_str());
    result << L"rename-folder=" << renameFolder << L"\n";
    const DWORD renamePackage = ErrorUnless(MoveFileW(package.c_str(), (package + L".moved").c_str()));
    if (renamePackage == 0)
        MoveFileW((package + L".moved").c_str(), package.c_str());
    result << L"rename-package=" << renamePackage << L"\n";
    result << L"delete-package=" << ErrorUnless(DeleteFileW(package.c_str())) << L"\n";
    result << L"write-config=" << TryToOpen(folder + L"SetupUI.exe.config", GENERIC_WRITE) << L"\n";
    result << L"delete-satellite=" << TryToOpen(folder + L"de\\SetupUI.resources.dll", DELETE) << L"\n";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    const std::wstring temp = TempPath();
    const std::wstring folder = OwnFolder();
    if (GetFileAttributesW((temp + L"frontend-tamper.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
        Tamper(folder, temp + L"frontend-tamper-result.txt");
    {
        std::wofstream record((temp + L"frontend-record.txt.part").c_str(), std::ios::binary);
        record << L"arguments=" << commandLine << L"\n";
        record << L"folder=" << folder << L"\n";
        for (const wchar_t* item : Items)
            record << item << L"=" << FileDigest(folder + item) << L"\n";
    }
    // Appears whole, so a test never reads half a record.
    MoveFileW((temp + L"frontend-record.txt.part").c_str(), (temp + L"frontend-record.txt").c_str());

    while (GetFileAttributesW((temp + L"frontend-hold.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
        Sleep(20);
    const std::wstring taken = temp + L"frontend-orphan-taken.txt";
    if (MoveFileW((temp + L"frontend-orphan.txt").c_str(), taken.c_str())) {
        const HANDLE package = CreateFileW((folder + L"Brinmoor.msi").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
        while (GetFileAttributesW(taken.c_str()) != INVALID_FILE_ATTRIBUTES)
            Sleep(20);
        CloseHandle(package);
    }

    long long exitCode = 0;
    if (FILE* file = _wfopen((temp + L"frontend-exit-code.txt").c_str(), L"r")) {
        if (fscanf(file, "%lli", &exitCode) != 1)
            exitCode = 0;
        fclose(file);
    }
    return static_cast<int>(exitCode);
}
