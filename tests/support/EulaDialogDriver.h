#pragma once

#include <windows.h>

#include <string>

#include "tests/support/UiDriver.h"

// The licence agreement dialog that the options dialog opens.
class EulaDialogDriver {
public:
    enum Id { Text = 1015, Accept = IDOK, Decline = IDCANCEL };

    static bool Matches(HWND window);
    // Null window when no agreement came.
    static EulaDialogDriver WaitFor(const DrivenProcess& process, DWORD timeoutMs = 90000);

    explicit EulaDialogDriver(HWND window) : window_(window) {}
    HWND Window() const { return window_; }

    std::wstring TextClass() const;
    // What the rich edit control shows, without its formatting.
    std::wstring PlainText() const;
    void PressAccept() const { PressButton(window_, Accept); }
    void PressDecline() const { PressButton(window_, Decline); }
    void PressEscape() const { ::PressEscape(window_); }
    void PressCloseBox() const { ::PressCloseBox(window_); }

private:
    HWND window_;
};
