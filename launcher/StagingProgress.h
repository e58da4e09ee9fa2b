#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "image/CopyProgress.h"
#include "launcher/ProgressWindow.h"

// What a person sees of a copy that takes a while: once it has run for
// `delayMs`, a progress window with `text`, pumped between the pieces. A run
// that is done sooner shows nothing. Throws CopyCancelled after the piece
// during which Cancel was chosen.
class StagingProgress : public CopyProgress {
public:
    StagingProgress(HINSTANCE instance, std::wstring text, uint64_t totalBytes, DWORD delayMs);

    void Copied(uint32_t bytes) override;
    // The window goes before the front end starts, so that the front end's
    // own window is the next thing people see.
    void Close() noexcept;

private:
    HINSTANCE instance;
    std::wstring text;
    uint64_t total;
    uint64_t done = 0;
    DWORD delayMs;
    ULONGLONG start;
    ULONGLONG lastPump = 0;
    ULONGLONG drawn = 0;
    bool opened = false;
    std::unique_ptr<ProgressWindow> window;
};
