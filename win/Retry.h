#pragma once

#include <windows.h>

#include "win/Handles.h"

// How long a step waits out another process that has a file open for a
// moment: a virus scanner, an indexer, a front end that is just ending.
constexpr ULONGLONG SharingRetryMs = 2000;

// Calls `attempt` until it returns true, about every millisecond, and gives
// up once it has failed after `limitMs` since the first call.
template <typename Attempt>
bool RetryForUpTo(ULONGLONG limitMs, Attempt attempt)
{
    const ULONGLONG start = GetTickCount64();
    while (!attempt()) {
        if (GetTickCount64() >= start + limitMs)
            return false;
        Sleep(1);
    }
    return true;
}

// Opens with `open` (a CreateFileW call), trying again while another process
// holds the file without the sharing asked for. Invalid, with the last
// error of the last try, when it never opened.
template <typename Open>
FileHandle OpenRetryingWhileShared(Open open)
{
    FileHandle handle;
    RetryForUpTo(SharingRetryMs, [&] {
        handle.reset(open());
        return handle.valid() || GetLastError() != ERROR_SHARING_VIOLATION;
    });
    return handle;
}
