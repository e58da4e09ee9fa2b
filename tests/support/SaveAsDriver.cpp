#include "tests/support/SaveAsDriver.h"

namespace {

const int FileNameId = 0x47C;

}  // namespace

bool SaveAsDriver::Matches(HWND window)
{
    HWND field = GetDlgItem(window, FileNameId);
    return field && ClassOf(field) == L"ComboBoxEx32";
}

SaveAsDriver SaveAsDriver::WaitFor(const DrivenProcess& process, DWORD timeoutMs)
{
    return SaveAsDriver(process.WaitForDialog(Matches, timeoutMs));
}

std::wstring SaveAsDriver::FileName() const
{
    // The text lives in the Edit inside ComboBoxEx32 > ComboBox, all with the same id.
    const std::vector<Control> controls = ListControls(window_);
    const Control* edit = FindControl(controls, L"Edit", FileNameId);
    return edit ? edit->text : std::wstring();
}

void SaveAsDriver::TypeFileName(const std::wstring& path) const
{
    TypeText(window_, FileNameId, path);
}

MessageBoxView SaveAsDriver::WaitForOverwritePrompt(const DrivenProcess& process, DWORD timeoutMs)
{
    return WaitForMessageBox(process, timeoutMs);
}
