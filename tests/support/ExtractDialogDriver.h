#pragma once

#include <windows.h>

#include <string>

#include "tests/support/UiDriver.h"

// The launcher's extraction options dialog, driven through its control ids.
class ExtractDialogDriver {
public:
    enum Id {
        DesktopShortcut = 1007,
        NoUpdateCheck = 1008,
        Save = 1011,
        InstallDir = 1012,
        Agreement = 1013,
        SectionLabel1 = 1017,
        SectionLabel2 = 1018,
        SectionLabel3 = 1019,
        SectionTop = 1020,
        Cancel = IDCANCEL,
    };

    static bool Matches(HWND window);
    // Null window when no options dialog came.
    static ExtractDialogDriver WaitFor(const DrivenProcess& process, DWORD timeoutMs = 90000);

    explicit ExtractDialogDriver(HWND window) : window_(window) {}
    HWND Window() const { return window_; }

    bool IsChecked(int id) const;
    bool IsVisible(int id) const;
    bool HasControl(int id) const;
    RECT WindowRect() const;
    RECT ControlRect(int id) const;  // screen coordinates
    std::wstring InstallDirText() const;

    // Clicks post, so a click that opens a modal window returns at once.
    void Click(int id) const;
    // Waits until the box shows the state; false when it does not.
    bool WaitForChecked(int id, bool checked, DWORD timeoutMs = 10000) const;
    void TypeInstallDir(const std::wstring& text) const;
    void PressSave() const { Click(Save); }
    void PressCancel() const { Click(Cancel); }
    void PressEscape() const { ::PressEscape(window_); }
    void PressEnter() const { ::PressEnter(window_); }
    void PressCloseBox() const { ::PressCloseBox(window_); }

private:
    HWND window_;
};
