// Stands in for the Windows Features app (and for programs planted under
// system names): leaves %TEMP%\optionalfeatures-started.txt holding its own path,
// stays open while %TEMP%\optionalfeatures-hold.txt exists and leaves
// optionalfeatures-ended.txt when it ends, so a test can see that its caller did not wait.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    wchar_t tempPath[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempPath);
    const std::wstring temp = tempPath;
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const HANDLE started = CreateFileW((temp + L"optionalfeatures-started.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(started, self, length * sizeof(wchar_t), &written, nullptr);
    CloseHandle(started);
    const ULONGLONG end = GetTickCount64() + 60000;
    while (GetFileAttributesW((temp + L"optionalfeatures-hold.txt").c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetTickCount64() < end)
        Sleep(20);
    CloseHandle(CreateFileW((temp + L"optionalfeatures-ended.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr));
    return 0;
}
