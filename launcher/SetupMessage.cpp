#include "launcher/SetupMessage.h"

#include <windows.h>

std::wstring GetSetupCaption()
{
    return std::wstring(L"Brinmoor Tessolan") + L" Setup";
}

int ShowMessageBox(const std::wstring& text, unsigned int flags)
{
    return MessageBoxW(nullptr, text.c_str(), GetSetupCaption().c_str(), flags);
}
