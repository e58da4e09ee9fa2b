#include "extract/ExtractDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>

#include "extract/CommonDialogApi.h"
#include "extract/EulaDialog.h"

namespace {

const int PathCapacity = MAX_PATH;

// The controls that only an /extract run uses; the section is hidden in the
// defaults mode. IDC_EXTRACT_SECTION is its topmost control.
const std::array<int, 6> ExtractSection = {
    IDC_NO_UPDATE_CHECK,
    IDC_ACCEPT_EULA,
    IDC_EXTRACT_HEADING,
    IDC_EXTRACT_NOTE,
    IDC_ACCEPT_EULA_NOTE,
    IDC_EXTRACT_SECTION,
};

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

RECT WindowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// Moves a control vertically by `offset` pixels, keeping its size.
void MoveControlBy(HWND dialog, HWND control, LONG offset)
{
    RECT rect = WindowRect(control);
    rect.top += offset;
    rect.bottom += offset;
    POINT topLeft = {rect.left, rect.top};
    POINT bottomRight = {rect.right, rect.bottom};
    ScreenToClient(dialog, &topLeft);
    ScreenToClient(dialog, &bottomRight);
    MoveWindow(control, topLeft.x, topLeft.y, bottomRight.x - topLeft.x, bottomRight.y - topLeft.y, TRUE);
}

}  // namespace

ExtractDialog::ExtractDialog(HINSTANCE instance, bool defaultsMode) noexcept
    : Dialog(instance, IDD_EXTRACT, nullptr), defaultsMode(defaultsMode)
{
}

INT_PTR ExtractDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        OnInitDialog();
        return FALSE;  // the focus was set here
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_SAVE) {
        OnSave();
        Dialog::HandleMessage(message, wParam, lParam);
        return FALSE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_ACCEPT_EULA) {
        OnAgreementClicked();
        Dialog::HandleMessage(message, wParam, lParam);
        return FALSE;
    }
    return Dialog::HandleMessage(message, wParam, lParam);
}

// The template's own caption and icon stay.
void ExtractDialog::OnInitDialog()
{
    SendDlgItemMessageW(hwnd, IDC_INSTALL_DIR, EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>(L"[Default]"));
    SetFocus(GetDlgItem(hwnd, IDC_SAVE));
    if (defaultsMode)
        CollapseForDefaults();
}

void ExtractDialog::OnSave()
{
    ReadOptions();
    wchar_t file[PathCapacity] = L"Brinmoor.msi";
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = hwnd;
    request.lpstrFilter = L"MSI files\0*.msi\0All files\0*.*\0";
    request.lpstrFile = file;
    request.nMaxFile = PathCapacity;
    // No default extension: a name typed without one is used as typed. The
    // process stays in its folder: a chosen folder must not become one that
    // programs and DLLs are looked for in.
    request.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    if (!GetCommonDialogApi().GetSaveFileName(&request))
        return;
    options.packagePath = file;
    EndDialog(hwnd, IDOK);
}

void ExtractDialog::ReadOptions()
{
    if (!defaultsMode) {
        options.noUpdateCheck = IsChecked(hwnd, IDC_NO_UPDATE_CHECK);
        options.noEula = IsChecked(hwnd, IDC_ACCEPT_EULA);
    }
    wchar_t folder[PathCapacity] = {};
    GetWindowTextW(GetDlgItem(hwnd, IDC_INSTALL_DIR), folder, PathCapacity);
    options.installDir = folder;
    options.desktopShortcut = IsChecked(hwnd, IDC_DESKTOP_SHORTCUT);
}

// The box ticks only after the agreement was accepted in this dialog; once
// accepted, it is not shown again.
void ExtractDialog::OnAgreementClicked()
{
    const HWND box = GetDlgItem(hwnd, IDC_ACCEPT_EULA);
    if (SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    if (!agreementAccepted) {
        EulaDialog agreement(instance, hwnd);
        agreement.LoadAgreement();
        agreementAccepted = agreement.Show() == IDOK;
    }
    if (agreementAccepted)
        SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
}

// The buttons move up to where the hidden section began and the dialog
// loses the section's height.
void ExtractDialog::CollapseForDefaults()
{
    for (int id : ExtractSection)
        ShowWindow(GetDlgItem(hwnd, id), SW_HIDE);
    const HWND save = GetDlgItem(hwnd, IDC_SAVE);
    const RECT section = WindowRect(GetDlgItem(hwnd, IDC_EXTRACT_SECTION));
    const RECT saveRect = WindowRect(save);
    RECT dialogRect = WindowRect(hwnd);
    const LONG offset = section.top - saveRect.top;
    MoveControlBy(hwnd, save, offset);
    MoveControlBy(hwnd, GetDlgItem(hwnd, IDCANCEL), offset);
    dialogRect.bottom += offset;
    MoveWindow(hwnd, dialogRect.left, dialogRect.top, dialogRect.right - dialogRect.left,
               dialogRect.bottom - dialogRect.top, TRUE);
}
