#pragma once

#include <windows.h>

#include <string>

#include "extract/Dialog.h"

// Says that the package was saved and offers to show it in the file manager.
class ExtractResultDialog : public Dialog<ExtractResultDialog> {
public:
    ExtractResultDialog(HINSTANCE instance, const std::wstring& packagePath);

    const std::wstring& PackagePath() const noexcept { return packagePath; }
    // Set when the dialog was ended with OK and its check box ticked.
    bool OpenFolder() const noexcept { return openFolder; }

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::wstring packagePath;
    bool openFolder = false;
};
