#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "win/Handles.h"

// A small modeless window: the launcher's caption and icon, a line of text,
// a bar and Cancel (Esc and the close box too), from template IDD_PROGRESS.
// It has no thread of its own: it answers only while its owner pumps it.
class ProgressWindow {
public:
    // Shows nothing when the window cannot be made.
    ProgressWindow(HINSTANCE instance, const std::wstring& text);
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    bool Shown() const noexcept { return window.valid(); }
    HWND Window() const noexcept { return window.get(); }
    void SetProgress(uint64_t done, uint64_t total);
    // Handles what waits in the thread's queue: painting, Cancel, Esc, the
    // close box, and questions from other programs.
    void Pump();
    bool Cancelled() const noexcept { return cancelled; }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance;
    std::wstring text;
    bool cancelled = false;
    WindowHandle window;
};
