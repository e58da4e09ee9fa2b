// Runs a launcher to its end and reports its wall time, when its staged
// package appeared and when it was complete, and the highest private memory
// it reached, then times CopyFileW of a file of the payload's size on the
// same disk, for comparison.
//
//   run_measured.exe <launcher> <temp folder> <file to copy> <payload bytes>
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

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

uint64_t FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Brinmoor.msi in the launcher's per-run folder, once that folder exists.
std::wstring StagedPackage(const std::wstring& temp)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((temp + L"BrinmoorSetup\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return L"";
    std::wstring package;
    do {
        const std::wstring candidate = temp + L"BrinmoorSetup\\" + found.cFileName + L"\\Brinmoor.msi";
        if (found.cFileName[0] != L'.' && GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            package = candidate;
    } while (package.empty() && FindNextFileW(search, &found));
    FindClose(search);
    return package;
}

// The package is staged first: its appearance ends the process start, the
// mapping of the launcher's own file and the per-run folder; its full size
// ends its copy and check.
struct PackageWatch {
    PackageWatch(std::wstring temp, uint64_t size) : temp(std::move(temp)), size(size) {}

    std::wstring temp;
    uint64_t size;
    std::wstring path;
    double appeared = -1;
    double complete = -1;

    void Poll(double elapsed)
    {
        if (complete >= 0)
            return;
        if (path.empty())
            path = StagedPackage(temp);
        if (path.empty())
            return;
        if (appeared < 0)
            appeared = elapsed;
        if (FileSize(path) >= size)
            complete = elapsed;
    }
};

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
    PackageWatch package(temp, FileSize(source));
    while (WaitForSingleObject(started.hProcess, 20) == WAIT_TIMEOUT) {
        const SIZE_T usage = PrivateOf(started.hProcess);
        if (usage > highest)
            highest = usage;
        package.Poll(Seconds() - start);
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
    std::printf("package (%.1f MiB) appeared after %.2f s, complete after %.2f s\n", package.size / mib,
                package.appeared, package.complete);
    std::printf("CopyFileW: %.1f MiB in %.2f s = %.1f MiB/s\n", payloadMib, copySeconds, copyRate);
    std::printf("peak private memory of the launcher: %.1f MiB\n", highest / mib);
    std::printf("ratio=%.3f run_s=%.2f package_at_s=%.2f package_done_s=%.2f peak_private_mib=%.1f size_mib=%.0f exit=%lu\n",
                runRate / copyRate, runSeconds, package.appeared, package.complete, highest / mib, payloadMib, exitCode);
    return exitCode == 0 ? 0 : 1;
}
