#include "tests/support/ProcessList.h"

#include <tlhelp32.h>

#include "tests/support/UiDriver.h"
#include "win/Handles.h"

namespace {

struct WindowSearch {
    DWORD processId;
    std::wstring className;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ClassOf(window) == search->className)
        search->windows.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<DWORD> ProcessIdsNamed(const std::wstring& exeName)
{
    std::vector<DWORD> ids;
    // A failed snapshot is INVALID_HANDLE_VALUE, as with files.
    FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL found = Process32FirstW(snapshot.get(), &entry); found; found = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName.c_str()) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

std::vector<HWND> WindowsOf(DWORD processId, const std::wstring& className)
{
    WindowSearch search{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

void EndProcess(DWORD processId)
{
    KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process)
        return;
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
}

