#pragma once

#include <windows.h>

#include <string>

#include "tests/support/UiDriver.h"

// The window the launcher shows while a large payload streams out.
class ProgressDriver {
public:
    enum Id { Text = 1021, Bar = 1022, Cancel = IDCANCEL };

    static bool Matches(HWND window);
    // Null window when none came.
    static ProgressDriver WaitFor(const DrivenProcess& process, DWORD timeoutMs = 90000);

    explicit ProgressDriver(HWND window) : window_(window) {}
    HWND Window() const { return window_; }

    // What the window system keeps of the caption and the line: readable
    // without the launcher's thread, so while it is paused too.
    std::wstring Caption() const;
    std::wstring Line() const;
    // Asked of the bar; -1 once the window no longer answers.
    int Position() const;
    int Maximum() const;
    // Posted straight to the button found by its id: listing the controls
    // first would ask the busy launcher once for each, and it answers only
    // between pieces.
    void PressCancel() const { PostMessageW(GetDlgItem(window_, Cancel), BM_CLICK, 0, 0); }

private:
    int AskBar(UINT message, WPARAM wParam) const;

    HWND window_;
};

// A machine so busy that the driven process's window thread runs only
// `runMs` in every `runMs + pauseMs`, while this object lives.
class SlowMachine {
public:
    SlowMachine(const DrivenProcess& process, DWORD runMs, DWORD pauseMs);
    ~SlowMachine();
    SlowMachine(const SlowMachine&) = delete;
    SlowMachine& operator=(const SlowMachine&) = delete;

private:
    static DWORD WINAPI Run(void* self);

    const DrivenProcess& process_;
    DWORD runMs_;
    DWORD pauseMs_;
    volatile LONG stop_ = 0;
    KernelHandle thread_;
};
