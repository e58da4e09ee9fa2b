// Compares SaveResourceToFile with CopyFileW of a file of the same size and
// records how far the private memory rises while the resource is copied.
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "image/ExeImage.h"

namespace {

constexpr double mib = 1024.0 * 1024.0;

PROCESS_MEMORY_COUNTERS_EX Memory()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters;
}

// Wine leaves PrivateUsage at 0 and fills only PagefileUsage, which Windows
// documents as the same figure.
SIZE_T Private(const PROCESS_MEMORY_COUNTERS_EX& counters)
{
    return counters.PrivateUsage > counters.PagefileUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

double Seconds()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / frequency.QuadPart;
}

// The peak counter alone misses a rise that stays below an earlier peak, so
// the private usage is also sampled while the copy runs.
class PrivateUsageSampler {
public:
    PrivateUsageSampler() : thread_([this] { Run(); }) {}
    ~PrivateUsageSampler() { Stop(); }
    SIZE_T Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return highest_;
    }

private:
    void Run()
    {
        while (!stop_) {
            const SIZE_T usage = Private(Memory());
            if (usage > highest_)
                highest_ = usage;
            Sleep(10);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<SIZE_T> highest_{0};
    std::thread thread_;
};

double FileMib(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<double>(data.nFileSizeHigh) * 4294967296.0 + data.nFileSizeLow) / mib;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::wstring folder = argv[1];
    const std::wstring saved = folder + L"saved.bin";
    const std::wstring copied = folder + L"copied.bin";
    DeleteFileW(saved.c_str());
    DeleteFileW(copied.c_str());
    const ExeImage image;

    const PROCESS_MEMORY_COUNTERS_EX before = Memory();
    PrivateUsageSampler sampler;
    const double saveStart = Seconds();
    image.SaveResourceToFile(1, saved);
    const double saveSeconds = Seconds() - saveStart;
    const SIZE_T sampled = sampler.Stop();
    const PROCESS_MEMORY_COUNTERS_EX after = Memory();

    const double copyStart = Seconds();
    const BOOL copiedOk = CopyFileW(saved.c_str(), copied.c_str(), FALSE);
    const double copySeconds = Seconds() - copyStart;
    if (!copiedOk) {
        std::printf("CopyFileW failed Error: %lu\n", GetLastError());
        return 1;
    }

    const double size = FileMib(saved);
    const double saveRate = size / saveSeconds;
    const double copyRate = FileMib(copied) / copySeconds;
    // A peak that did not rise during the copy belongs to earlier work (under
    // Wine, the loader's copy of the image); then only the samples count.
    const SIZE_T peak = after.PeakPagefileUsage > before.PeakPagefileUsage ? after.PeakPagefileUsage : 0;
    const SIZE_T highest = peak > sampled ? peak : sampled;
    const double growth = highest > Private(before) ? (highest - Private(before)) / mib : 0.0;
    std::printf("SaveResourceToFile: %.1f MiB in %.3f s = %.1f MiB/s\n", size, saveSeconds, saveRate);
    std::printf("CopyFileW:          %.1f MiB in %.3f s = %.1f MiB/s\n", FileMib(copied), copySeconds, copyRate);
    std::printf("private before %.2f MiB, after %.2f MiB, highest sampled %.2f MiB; peak before %.2f MiB, after %.2f MiB\n",
                Private(before) / mib, Private(after) / mib, sampled / mib, before.PeakPagefileUsage / mib,
                after.PeakPagefileUsage / mib);
    std::printf("ratio=%.3f growth_mib=%.2f size_mib=%.0f\n", saveRate / copyRate, growth, size);
    DeleteFileW(saved.c_str());
    DeleteFileW(copied.c_str());
    return 0;
}
