#include "tests/support/ResultDialogDriver.h"

bool ResultDialogDriver::Matches(HWND window)
{
    return GetDlgItem(window, OpenFolder) != nullptr;
}

ResultDialogDriver ResultDialogDriver::WaitFor(const DrivenProcess& process, DWORD timeoutMs)
{
    return ResultDialogDriver(process.WaitForDialog(Matches, timeoutMs));
}

bool ResultDialogDriver::IsOpenFolderChecked() const
{
    return SendMessageW(GetDlgItem(window_, OpenFolder), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ResultDialogDriver::SetOpenFolder(bool checked) const
{
    SetChecked(window_, OpenFolder, checked);
    const ULONGLONG end = GetTickCount64() + 10000;
    while (IsOpenFolderChecked() != checked && GetTickCount64() < end)
        Sleep(50);
}
