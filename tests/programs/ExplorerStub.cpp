// Stands in for the file manager beside a test launcher, which finds it
// before the system's own: writes its arguments, as UTF-8, into
// %TEMP%\explorer-record.txt and ends.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int)
{
    wchar_t tempPath[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempPath);
    const std::wstring temp = tempPath;
    const std::wstring text = arguments;
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0],
                        static_cast<int>(bytes.size()), nullptr, nullptr);
    // Appears whole, so a test never reads half a record.
    const std::wstring part = temp + L"explorer-record.txt.part";
    HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(part.c_str(), (temp + L"explorer-record.txt").c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
