#include "launcher/SetupMessage.h"

#include "resources/resource.h"

std::wstring GetSetupCaption()
{
    return std::wstring(L"Brinmoor Tessolan") + L" Setup";
}

int ShowMessageBox(const std::wstring& text, unsigned int flags)
{
    return MessageBoxW(nullptr, text.c_str(), GetSetupCaption().c_str(), flags);
}

void SetSetupIconAndCaption(HWND window, HINSTANCE instance)
{
    const HANDLE smallIcon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR);
    if (smallIcon)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    const HANDLE bigIcon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_LAUNCHER), IMAGE_ICON,
                                      GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR);
    if (bigIcon)
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(GetSetupCaption().c_str()));
}
