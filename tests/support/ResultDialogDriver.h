#pragma once

#include <windows.h>

#include <string>

#include "tests/support/UiDriver.h"

// The dialog that closes a successful extraction.
class ResultDialogDriver {
public:
    enum Id { OpenFolder = 1014, Ok = IDOK };

    static bool Matches(HWND window);
    // Null window when no closing dialog came.
    static ResultDialogDriver WaitFor(const DrivenProcess& process, DWORD timeoutMs = 90000);

    explicit ResultDialogDriver(HWND window) : window_(window) {}
    HWND Window() const { return window_; }

    std::wstring Caption() const { return TextOf(window_); }
    bool IsOpenFolderChecked() const;
    void SetOpenFolder(bool checked) const;
    void PressOk() const { PressButton(window_, Ok); }
    void PressCloseBox() const { ::PressCloseBox(window_); }

private:
    HWND window_;
};
