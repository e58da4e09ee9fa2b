#include "tests/support/ExtractDialogDriver.h"

bool ExtractDialogDriver::Matches(HWND window)
{
    return GetDlgItem(window, Save) && GetDlgItem(window, InstallDir);
}

ExtractDialogDriver ExtractDialogDriver::WaitFor(const DrivenProcess& process, DWORD timeoutMs)
{
    return ExtractDialogDriver(process.WaitForDialog(Matches, timeoutMs));
}

bool ExtractDialogDriver::IsChecked(int id) const
{
    return SendMessageW(GetDlgItem(window_, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ExtractDialogDriver::IsVisible(int id) const
{
    return IsWindowVisible(GetDlgItem(window_, id)) != FALSE;
}

bool ExtractDialogDriver::HasControl(int id) const
{
    return GetDlgItem(window_, id) != nullptr;
}

RECT ExtractDialogDriver::WindowRect() const
{
    RECT rect = {};
    GetWindowRect(window_, &rect);
    return rect;
}

RECT ExtractDialogDriver::ControlRect(int id) const
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(window_, id), &rect);
    return rect;
}

std::wstring ExtractDialogDriver::InstallDirText() const
{
    return TextOf(GetDlgItem(window_, InstallDir));
}

void ExtractDialogDriver::Click(int id) const
{
    PostMessageW(GetDlgItem(window_, id), BM_CLICK, 0, 0);
}

bool ExtractDialogDriver::WaitForChecked(int id, bool checked, DWORD timeoutMs) const
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (IsChecked(id) != checked) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
    return true;
}

void ExtractDialogDriver::TypeInstallDir(const std::wstring& text) const
{
    TypeText(window_, InstallDir, text);
}
