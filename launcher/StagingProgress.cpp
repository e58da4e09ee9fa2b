#include "launcher/StagingProgress.h"

#include <utility>

namespace {

// Each pump is a round trip to the window system: often enough that Cancel
// and the bar answer at once, rarely enough that the copy keeps its pace.
const ULONGLONG PumpIntervalMs = 30;

}  // namespace

StagingProgress::StagingProgress(HINSTANCE instance, std::wstring text, uint64_t totalBytes, DWORD delayMs)
    : instance(instance), text(std::move(text)), total(totalBytes), delayMs(delayMs), start(GetTickCount64())
{
}

void StagingProgress::Copied(uint32_t bytes)
{
    done += bytes;
    const ULONGLONG now = GetTickCount64();
    if (!opened) {
        if (now - start < delayMs)
            return;
        opened = true;
        window = std::make_unique<ProgressWindow>(instance, text);
    } else if (done < total && now - lastPump < PumpIntervalMs) {
        return;
    }
    if (!window || !window->Shown())
        return;
    // The last piece always shows: the bar reaches its end before it goes.
    lastPump = now;
    window->SetProgress(done, total);
    window->Pump();
    if (window->Cancelled())
        throw CopyCancelled();
}

void StagingProgress::Close() noexcept
{
    opened = true;
    window.reset();
}
