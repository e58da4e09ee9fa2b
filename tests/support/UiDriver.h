#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "win/Handles.h"

// Drives another process's windows the way a person would: find them, read
// them, press their buttons and type into their fields.

struct Control {
    HWND window;
    std::wstring className;
    int id;
    std::wstring text;
    RECT rect;  // screen coordinates
    bool checked;
};

enum class IconStyle { None, Information, Error, Other };

std::wstring ClassOf(HWND window);
std::wstring TextOf(HWND window);
std::vector<Control> ListControls(HWND dialog);
const Control* FindControl(const std::vector<Control>& controls, const wchar_t* className, int id);

// Posts the click so that a modal window it opens does not block the driver.
void PressButton(HWND dialog, int id);
void TypeText(HWND dialog, int id, const std::wstring& text);
void SetChecked(HWND dialog, int id, bool checked);

// Keys as the keyboard gives them: to the control that has the focus.
void PressEscape(HWND dialog);
void PressEnter(HWND dialog);
void PressCloseBox(HWND window);
// True once the window is gone or hidden.
bool WaitUntilClosed(HWND window, DWORD timeoutMs = 60000);
// The control that has the keyboard focus in the window's thread.
HWND FocusedControl(HWND window);

// Tells the icon from the screen's pixels: another process's icon handle
// means nothing here.
IconStyle ReadIcon(HWND dialog, int iconId);

using EnvironmentOverrides = std::vector<std::pair<std::wstring, std::wstring>>;

// One started program, with some environment variables of its own.
class DrivenProcess {
public:
    DrivenProcess(const std::wstring& exe, const std::wstring& arguments,
                  const EnvironmentOverrides& environment = EnvironmentOverrides());
    ~DrivenProcess();

    DWORD Id() const { return id_; }
    // The first visible top-level window of the given class, or null after the timeout.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 90000) const;
    // The first visible dialog that the predicate accepts, or null after the timeout.
    template <typename Predicate>
    HWND WaitForDialog(Predicate accepts, DWORD timeoutMs = 90000) const;
    std::vector<HWND> TopLevelWindows() const;
    // False when the process is still running after the timeout.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
    // Ends it at once, as Task Manager does.
    void Kill() const;
    // Stops and lets go of its first thread, the one that runs its windows,
    // as a busy machine would.
    void Pause() const;
    void Resume() const;

private:
    bool WaitBeforeNextPoll(ULONGLONG end) const;

    KernelHandle process_;
    KernelHandle thread_;
    DWORD id_ = 0;
};

template <typename Predicate>
HWND DrivenProcess::WaitForDialog(Predicate accepts, DWORD timeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    do {
        for (HWND window : TopLevelWindows()) {
            if (ClassOf(window) == L"#32770" && accepts(window))
                return window;
        }
    } while (WaitBeforeNextPoll(end));
    return nullptr;
}
