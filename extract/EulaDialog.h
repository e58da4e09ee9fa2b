#pragma once

#include <windows.h>

#include <string>

#include "extract/Dialog.h"

// Shows the licence agreement (resource "TXT" 157, RTF or plain text) and
// asks to accept it. Show returns 1 when it was accepted.
class EulaDialog : public Dialog<EulaDialog> {
public:
    EulaDialog(HINSTANCE instance, HWND parent) noexcept;

    // Registers the rich edit window class and reads the agreement; call before Show.
    void LoadAgreement();

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::string text;  // the resource's bytes, unconverted
};
