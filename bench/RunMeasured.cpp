// Runs a launcher once and times its phases from outside, or copies the
// payload's package with CopyFileW into the same folder, for comparison.
//
//   run_measured.exe <launcher> <temp folder> <package> launcher|copy
//
// Prints one line of key=value figures, in seconds unless named otherwise.
// For the launcher: start_to_package (the staged package is created),
// package_copy (until the next item appears: the package's copy and check
// are done), rest_of_staging (until the front end starts), to_frontend (start
// to the front end's start), cleanup (the front end's end to the launcher's),
// run, peak_private_mib and exit. For the copy: copyfile.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

double TicksPerSecond()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart);
}

long long Ticks()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
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

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The launcher's per-run folder, once it exists.
std::wstring RunFolder(const std::wstring& temp)
{
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((temp + L"BrinmoorSetup\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return L"";
    std::wstring folder;
    do {
        if (found.cFileName[0] != L'.')
            folder = temp + L"BrinmoorSetup\\" + found.cFileName + L"\\";
    } while (folder.empty() && FindNextFileW(search, &found));
    FindClose(search);
    return folder;
}

// The package is staged first and DotNet.exe next: the package's appearance
// ends the process start, the mapping of the launcher's own file and the
// run folder; DotNet.exe's ends the package's copy and check. Its size
// tells nothing, since the launcher may set it before the first write.
struct StagingWatch {
    std::wstring temp;
    std::wstring folder;
    long long packageAt = 0;
    long long nextItemAt = 0;

    void Poll()
    {
        if (nextItemAt)
            return;
        if (folder.empty())
            folder = RunFolder(temp);
        if (folder.empty())
            return;
        if (!packageAt && Exists(folder + L"Brinmoor.msi"))
            packageAt = Ticks();
        if (packageAt && Exists(folder + L"DotNet.exe"))
            nextItemAt = Ticks();
    }
};

long long RecordedTicks(const std::wstring& record, const char* key)
{
    FILE* file = _wfopen(record.c_str(), L"r");
    if (!file)
        return 0;
    char line[128];
    long long value = 0;
    const std::string prefix = std::string(key) + "=";
    while (std::fgets(line, sizeof line, file)) {
        if (std::string(line).rfind(prefix, 0) == 0)
            value = std::atoll(line + prefix.size());
    }
    std::fclose(file);
    return value;
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

struct LauncherRun {
    long long started = 0;
    long long ended = 0;
    StagingWatch watch;
    SIZE_T peakPrivate = 0;
    DWORD exitCode = 0;
    bool ok = false;
};

LauncherRun RunLauncher(const std::wstring& launcher, const std::wstring& temp)
{
    LauncherRun run;
    run.watch.temp = temp;
    std::wstring commandLine = L"\"" + launcher + L"\"";
    std::wstring environment = Environment(temp);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    run.started = Ticks();
    if (!CreateProcessW(launcher.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        &environment[0], nullptr, &startup, &started)) {
        std::printf("CreateProcess failed Error: %lu\n", GetLastError());
        return run;
    }
    // Short waits: each one is also a sample of the staged folder.
    while (WaitForSingleObject(started.hProcess, 2) == WAIT_TIMEOUT) {
        const SIZE_T usage = PrivateOf(started.hProcess);
        if (usage > run.peakPrivate)
            run.peakPrivate = usage;
        run.watch.Poll();
    }
    run.ended = Ticks();
    GetExitCodeProcess(started.hProcess, &run.exitCode);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    run.ok = true;
    return run;
}

double CopyFileSeconds(const std::wstring& source, const std::wstring& temp)
{
    const std::wstring copy = temp + L"copied.bin";
    const long long start = Ticks();
    const BOOL copied = CopyFileW(source.c_str(), copy.c_str(), FALSE);
    const double seconds = (Ticks() - start) / TicksPerSecond();
    DeleteFileW(copy.c_str());
    if (!copied) {
        std::printf("CopyFileW failed Error: %lu\n", GetLastError());
        return -1;
    }
    return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5)
        return 2;
    const std::wstring launcher = argv[1];
    const std::wstring temp = argv[2];
    const std::wstring package = argv[3];
    if (std::wstring(argv[4]) == L"copy") {
        const double copySeconds = CopyFileSeconds(package, temp);
        std::printf("copyfile=%.3f\n", copySeconds);
        return copySeconds < 0 ? 1 : 0;
    }
    const LauncherRun run = RunLauncher(launcher, temp);
    if (!run.ok)
        return 1;

    const std::wstring record = temp + L"bench-frontend.txt";
    const long long frontEndStarted = RecordedTicks(record, "started");
    const long long frontEndEnded = RecordedTicks(record, "ended");
    DeleteFileW(record.c_str());
    const double second = TicksPerSecond();
    const StagingWatch& watch = run.watch;
    if (!watch.packageAt || !watch.nextItemAt || !frontEndStarted || !frontEndEnded) {
        std::printf("a phase was not seen: package %lld, next item %lld, front end %lld-%lld, exit code %lu\n",
                    watch.packageAt, watch.nextItemAt, frontEndStarted, frontEndEnded, run.exitCode);
        return 1;
    }
    std::printf("start_to_package=%.3f package_copy=%.3f rest_of_staging=%.3f to_frontend=%.3f cleanup=%.3f "
                "run=%.3f peak_private_mib=%.1f exit=%lu\n",
                (watch.packageAt - run.started) / second, (watch.nextItemAt - watch.packageAt) / second,
                (frontEndStarted - watch.nextItemAt) / second, (frontEndStarted - run.started) / second,
                (run.ended - frontEndEnded) / second, (run.ended - run.started) / second,
                run.peakPrivate / (1024.0 * 1024.0), run.exitCode);
    return run.exitCode == 0 ? 0 : 1;
}
