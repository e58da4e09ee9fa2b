#include "launcher/StagingProgress.h"

#include <utility>

namespace {

// A pump with nothing to draw costs little: often enough that Cancel and
// questions from other programs are answered at once.
const ULONGLONG PumpIntervalMs = 30;
// Drawing the bar is what costs (tens of milliseconds where the window
// system is emulated): four times a second is smooth enough to watch.
const ULONGLONG DrawIntervalMs = 250;

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
