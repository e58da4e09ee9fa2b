#pragma once

#include <windows.h>

#include "extract/Dialog.h"
#include "extract/ExtractOptions.h"

// The options dialog of the extraction modes. Show returns 1 once a target
// file was chosen with Save; Options() is then complete. In the defaults mode
// the section of options that only /extract writes is hidden.
class ExtractDialog : public Dialog<ExtractDialog> {
public:
    ExtractDialog(HINSTANCE instance, bool defaultsMode) noexcept;

    const ExtractOptions& Options() const noexcept { return options; }

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnInitDialog();
    void OnSave();
    void ReadOptions();
    void OnAgreementClicked();
    void CollapseForDefaults();

    ExtractOptions options;
    bool agreementAccepted = false;
    bool defaultsMode;
};
