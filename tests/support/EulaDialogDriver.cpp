#include "tests/support/EulaDialogDriver.h"

bool EulaDialogDriver::Matches(HWND window)
{
    return GetDlgItem(window, Text) != nullptr;
}

EulaDialogDriver EulaDialogDriver::WaitFor(const DrivenProcess& process, DWORD timeoutMs)
{
    return EulaDialogDriver(process.WaitForDialog(Matches, timeoutMs));
}

std::wstring EulaDialogDriver::TextClass() const
{
    return ClassOf(GetDlgItem(window_, Text));
}

std::wstring EulaDialogDriver::PlainText() const
{
    return TextOf(GetDlgItem(window_, Text));
}
