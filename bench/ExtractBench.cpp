// Compares SaveResourceToFile with CopyFileW of a file of the same size, in
// alternating pairs, records how far the private memory rises while the
// resource is copied, and times the CRC-32 alone on bytes in memory.
//
//   extract_bench.exe <folder for the copies> [pairs, default 7]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "image/Crc32.h"
#include "image/Crc32Clmul.h"
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct SaveRun {
    double seconds;
    double growthMib;
};

SaveRun TimedSave(const ExeImage& image, const std::wstring& target)
{
    const PROCESS_MEMORY_COUNTERS_EX before = Memory();
    PrivateUsageSampler sampler;
    const double start = Seconds();
    image.SaveResourceToFile(1, target);
    const double seconds = Seconds() - start;
    const SIZE_T sampled = sampler.Stop();
    const PROCESS_MEMORY_COUNTERS_EX after = Memory();
    // A peak that did not rise during the copy belongs to earlier work (under
    // Wine, the loader's copy of the image); then only the samples count.
    const SIZE_T peak = after.PeakPagefileUsage > before.PeakPagefileUsage ? after.PeakPagefileUsage : 0;
    const SIZE_T highest = peak > sampled ? peak : sampled;
    std::printf("  private before %.2f MiB, after %.2f MiB, highest sampled %.2f MiB; peak before %.2f, after %.2f MiB\n",
                Private(before) / mib, Private(after) / mib, sampled / mib, before.PeakPagefileUsage / mib,
                after.PeakPagefileUsage / mib);
    return {seconds, highest > Private(before) ? (highest - Private(before)) / mib : 0.0};
}

double TimedCopy(const std::wstring& source, const std::wstring& target)
{
    const double start = Seconds();
    if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        std::printf("CopyFileW failed Error: %lu\n", GetLastError());
        std::exit(1);
    }
    return Seconds() - start;
}

// The check alone, on bytes already in memory, fed in the copy's 1 MiB pieces.
// A pass takes milliseconds, so on a shared machine one the scheduler cut into
// measures the neighbours: the fastest pass is what the check itself costs.
double CrcMibPerSecond()
{
    constexpr size_t piece = 1024 * 1024;
    std::vector<unsigned char> bytes(64 * piece);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 37 + (i >> 12));
    std::vector<double> rates;
    uint32_t crc = 0;
    for (int pass = 0; pass < 15; ++pass) {
        const double start = Seconds();
        crc = 0;
        for (size_t offset = 0; offset < bytes.size(); offset += piece)
            crc = UpdateCrc32(crc, bytes.data() + offset, piece);
        rates.push_back(bytes.size() / mib / (Seconds() - start));
    }
    const double fastest = *std::max_element(rates.begin(), rates.end());
    std::printf("CRC-32 alone on 64 MiB: fastest of %zu passes %.0f MiB/s, median %.0f MiB/s (CRC %08lx)\n",
                rates.size(), fastest, Median(rates), static_cast<unsigned long>(crc));
    return fastest;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const int pairs = argc > 2 ? _wtoi(argv[2]) : 7;
    if (pairs < 1)
        return 2;
    const std::wstring folder = argv[1];
    const std::wstring source = folder + L"source.bin";
    const std::wstring saved = folder + L"saved.bin";
    const std::wstring copied = folder + L"copied.bin";
    const ExeImage image;
    std::printf("CRC-32 path: %s\n", CpuHasClmul() ? "PCLMULQDQ folding" : "tables");
    // Saved once untimed for CopyFileW to copy; this also brings the
    // program's own file into the page cache before the timed saves.
    image.SaveResourceToFile(1, source);

    // Each pair writes fresh files, as the launcher does. Which of the two
    // goes first alternates: the first leaves dirty pages that the disk
    // writes back while the second runs.
    std::vector<double> ratios;
    double growth = 0;
    for (int pair = 1; pair <= pairs; ++pair) {
        DeleteFileW(saved.c_str());
        DeleteFileW(copied.c_str());
        SaveRun save{};
        double copySeconds = 0;
        if (pair % 2) {
            save = TimedSave(image, saved);
            copySeconds = TimedCopy(source, copied);
        } else {
            copySeconds = TimedCopy(source, copied);
            save = TimedSave(image, saved);
        }
        const double saveRate = FileMib(saved) / save.seconds;
        const double copyRate = FileMib(copied) / copySeconds;
        ratios.push_back(saveRate / copyRate);
        growth = std::max(growth, save.growthMib);
        std::printf("pair %d (%s first): SaveResourceToFile %.1f MiB/s, CopyFileW %.1f MiB/s, ratio %.3f, growth %.2f MiB\n",
                    pair, pair % 2 ? "save" : "copy", saveRate, copyRate, ratios.back(), save.growthMib);
    }
    const double size = FileMib(saved);
    for (const std::wstring& path : {source, saved, copied})
        DeleteFileW(path.c_str());
    const double crcRate = CrcMibPerSecond();
    std::printf("ratio=%.3f min=%.3f max=%.3f growth_mib=%.2f crc_mib_s=%.0f size_mib=%.0f\n", Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()),
                growth, crcRate, size);
    return 0;
}
