// Runs a launcher to its end and reports its wall time and the highest
// private memory it reached, then times CopyFileW of a file of the payload's
// size on the same disk, for comparison.
//
//   run_measured.exe <launcher> <temp folder> <file to copy> <payload bytes>
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr double mib = 1024.0 * 1024.0;

double Seconds()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / frequency.QuadPart;
}

// Wine leaves PrivateUsage at 0 and fills only PagefileUsage, which Windows
// documents as the same figure.
SIZE_T PrivateOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    const SIZE_T peak = counters.PeakPagefileUsage;
    const SIZE_T now = counters.PrivateUsage > counters.PagefileUsage ? counters.PrivateUsage : counters.PagefileUsage;
    return peak > now ? peak : now;
}

std::wstring Environment(const std::wstring& temp)
{
    std::wstring block;
    for (const wchar_t* name : {L"TEMP=", L"TMP="})
        block += name + temp + L'\0';
    wchar_t* inherited = GetEnvironmentStringsW();
    for (const wchar_t* entry = inherited; *entry; entry += wcslen(entry) + 1) {
        if (_wcsnicmp(entry, L"TEMP=", 5) != 0 && _wcsnicmp(entry, L"TMP=", 4) != 0)
            block += std::wstring(entry) + L'\0';
    }
    FreeEnvironmentStringsW(inherited);
    return block + L'\0';
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5)
        return 2;
    const std::wstring launcher = argv[1];
    const std::wstring temp = argv[2];
    const std::wstring source = argv[3];
    const double payloadMib = _wtof(argv[4]) / mib;

    std::wstring commandLine = L"\"" + launcher + L"\"";
    std::wstring environment = Environment(temp);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const double start = Seconds();
    if (!CreateProcessW(launcher.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        &environment[0], nullptr, &startup, &started)) {
        std::printf("CreateProcess failed Error: %lu\n", GetLastError());
        return 1;
    }
    SIZE_T highest = 0;
    while (WaitForSingleObject(started.hProcess, 20) == WAIT_TIMEOUT) {
        const SIZE_T usage = PrivateOf(started.hProcess);
        if (usage > highest)
            highest = usage;
    }
    const double runSeconds = Seconds() - start;
    DWORD exitCode = 0;
    GetExitCodeProcess(started.hProcess, &exitCode);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);

    const std::wstring copy = temp + L"copied.bin";
    const double copyStart = Seconds();
    const BOOL copied = CopyFileW(source.c_str(), copy.c_str(), FALSE);
    const double copySeconds = Seconds() - copyStart;
    DeleteFileW(copy.c_str());
    if (!copied) {
        std::printf("CopyFileW failed Error: %lu\n", GetLastError());
        return 1;
    }
    const double runRate = payloadMib / runSeconds;
    const double copyRate = payloadMib / copySeconds;
    std::printf("launcher: exit code %lu, %.1f MiB staged in %.2f s (start to end) = %.1f MiB/s\n", exitCode,
                payloadMib, runSeconds, runRate);
    std::printf("CopyFileW: %.1f MiB in %.2f s = %.1f MiB/s\n", payloadMib, copySeconds, copyRate);
    std::printf("peak private memory of the launcher: %.1f MiB\n", highest / mib);
    std::printf("ratio=%.3f peak_private_mib=%.1f size_mib=%.0f exit=%lu\n", runRate / copyRate, highest / mib,
                payloadMib, exitCode);
    return exitCode == 0 ? 0 : 1;
}
