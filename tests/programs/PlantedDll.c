/* A DLL planted beside a program under the name of a system DLL. When it is
 * loaded it says so in "planted-loads.txt" in its own folder: a program that
 * takes its DLLs from the system folder never writes that file. */
#include <windows.h>

static void RecordLoad(HINSTANCE self)
{
    wchar_t path[MAX_PATH];
    wchar_t* name;
    char line[MAX_PATH * 3];
    HANDLE record;
    DWORD written;
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length == MAX_PATH)
        return;
    name = wcsrchr(path, L'\\');
    if (!name)
        return;
    /* The line is the DLL's name; the record lies beside it. */
    WideCharToMultiByte(CP_UTF8, 0, name + 1, -1, line, sizeof line - 2, NULL, NULL);
    lstrcatA(line, "\n");
    lstrcpyW(name + 1, L"planted-loads.txt");
    record = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, NULL);
    if (record == INVALID_HANDLE_VALUE)
        return;
    WriteFile(record, line, (DWORD)lstrlenA(line), &written, NULL);
    CloseHandle(record);
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        RecordLoad(self);
    return TRUE;
}

/* Lets the control program's static import of msi.dll resolve to the plant. */
UINT WINAPI PlantedMsiCloseHandle(DWORD handle)
{
    (void)handle;
    return 0;
}
