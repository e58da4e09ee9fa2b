#include "extract/ExtractResultDialog.h"

ExtractResultDialog::ExtractResultDialog(HINSTANCE instance, const std::wstring& packagePath)
    : Dialog(instance, IDD_EXTRACT_RESULT, nullptr), packagePath(packagePath)
{
}

INT_PTR ExtractResultDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        CheckDlgButton(hwnd, IDC_OPEN_FOLDER, BST_CHECKED);
    else if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        openFolder = IsDlgButtonChecked(hwnd, IDC_OPEN_FOLDER) == BST_CHECKED;
    return Dialog::HandleMessage(message, wParam, lParam);
}
