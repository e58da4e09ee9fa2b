#pragma once

#include <windows.h>

#include <string>

#include "tests/support/MessageBoxDriver.h"
#include "tests/support/UiDriver.h"

// The common Save As dialog that the launcher opens from its options dialog.
class SaveAsDriver {
public:
    static bool Matches(HWND window);
    // Null window when no Save As dialog came.
    static SaveAsDriver WaitFor(const DrivenProcess& process, DWORD timeoutMs = 90000);

    explicit SaveAsDriver(HWND window) : window_(window) {}
    HWND Window() const { return window_; }

    std::wstring FileName() const;
    void TypeFileName(const std::wstring& path) const;
    // The toolbar has a control with id 1 too: these press the buttons.
    void PressSave() const { PressButton(window_, IDOK); }
    void PressCancel() const { PressButton(window_, IDCANCEL); }

    // The question asked before an existing file is replaced (Yes 6, No 7).
    static MessageBoxView WaitForOverwritePrompt(const DrivenProcess& process, DWORD timeoutMs = 60000);

private:
    HWND window_;
};
