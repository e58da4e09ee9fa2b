#include "launcher/StagingProgress.h"

#include <utility>

namespace {

// Measured under Wine on a gigabyte: a pump costs about a millisecond and a
// draw of the bar about six, both taken from the copy's own thread. Ten pumps
// a second still answer Cancel and questions from other programs at once,
// and two draws a second are smooth enough to watch.
const ULONGLONG PumpIntervalMs = 100;
const ULONGLONG DrawIntervalMs = 500;

}  // namespace

StagingProgress::StagingProgress(HINSTANCE instance, std::wstring text, uint64_t totalBytes, DWORD delayMs)
    : instance(instance), text(std::move(text)), total(totalBytes), delayMs(delayMs), start(GetTickCount64())
{
}

void StagingProgress::Copied(uint32_t bytes)
{
    done += bytes;
    const ULONGLONG now = GetTickCount64();
    const bool last = done >= total;
    if (!opened) {
        if (now - start < delayMs)
            return;
        opened = true;
        window = std::make_unique<ProgressWindow>(instance, text);
    } else if (!last && now - lastPump < PumpIntervalMs) {
        return;
    }
    if (!window || !window->Shown())
        return;
    // The last piece is always drawn: the bar reaches its end before it goes.
    if (last || drawn == 0 || now - drawn >= DrawIntervalMs) {
        window->SetProgress(done, total);
        drawn = now;
    }
    window->Pump();
    // Measured after the pump, which may have drawn the whole window.
    lastPump = GetTickCount64();
    if (window->Cancelled())
        throw CopyCancelled();
}

void StagingProgress::Close() noexcept
{
    opened = true;
    window.reset();
}
