#include "extract/EulaDialog.h"

#include <richedit.h>

#include "win/DllSearch.h"

EulaDialog::EulaDialog(HINSTANCE instance, HWND parent) noexcept : Dialog(instance, IDD_EULA, parent) {}

void EulaDialog::LoadAgreement()
{
    // Only from the system folder: a Riched20.dll planted beside a launcher in
    // Downloads must never load. Never freed: the window class must outlive
    // every dialog that uses it.
    LoadSystemDll(L"Riched20.dll");

    const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_LICENSE), L"TXT");
    const HGLOBAL loaded = LoadResource(instance, found);
    const DWORD size = SizeofResource(instance, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    if (bytes)
        text.assign(bytes, size);
}

INT_PTR EulaDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return Dialog::HandleMessage(message, wParam, lParam);
    // RTF keeps its formatting; other bytes are shown in the ANSI code page.
    SETTEXTEX settings = {ST_DEFAULT, CP_ACP};
    const HWND agreementText = GetDlgItem(hwnd, IDC_LICENSE_TEXT);
    SendMessageW(agreementText, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&settings),
                 reinterpret_cast<LPARAM>(text.c_str()));
    // The dialog manager selects the whole text when it gives the control the
    // focus after this message; the posted call puts the caret back at the start.
    PostMessageW(agreementText, EM_SETSEL, 0, 0);
    return TRUE;
}
