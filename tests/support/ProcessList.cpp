#include "tests/support/ProcessList.h"

#include <tlhelp32.h>
#include <winternl.h>

#include "tests/support/UiDriver.h"
#include "win/Handles.h"

namespace {

// Windows 8.1 and Wine answer this class with a UNICODE_STRING followed by its text.
const PROCESSINFOCLASS ProcessCommandLineInformation = static_cast<PROCESSINFOCLASS>(60);

using QueryInformationProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

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

std::wstring CommandLineOf(DWORD processId)
{
    const auto query = reinterpret_cast<QueryInformationProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!query || !process)
        return std::wstring();
    std::vector<BYTE> buffer(65536);
    ULONG size = 0;
    if (query(process.get(), ProcessCommandLineInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
              &size) == 0) {
        const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
        return std::wstring(text->Buffer, text->Length / sizeof(wchar_t));
    }
    // Wine 8 does not know that class: read the command line out of the
    // process's own parameters, which a 32-bit process lays out as this one does.
    PROCESS_BASIC_INFORMATION basic = {};
    if (query(process.get(), ProcessBasicInformation, &basic, sizeof basic, &size) != 0)
        return std::wstring();
    PEB peb = {};
    RTL_USER_PROCESS_PARAMETERS parameters = {};
    if (!ReadProcessMemory(process.get(), basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        !ReadProcessMemory(process.get(), peb.ProcessParameters, &parameters, sizeof parameters, nullptr))
        return std::wstring();
    std::wstring commandLine(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!ReadProcessMemory(process.get(), parameters.CommandLine.Buffer, &commandLine[0],
                           parameters.CommandLine.Length, nullptr))
        return std::wstring();
    return commandLine;
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
