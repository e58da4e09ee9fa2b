// Runs "/extract" on a launcher as an administrator would, for the demo:
// ticks the desktop shortcut and the update-check box, accepts the licence
// agreement, types an installation folder, saves the package to the given
// path and closes the last dialog without opening a file manager. Each
// dialog is saved as a PNG into the screenshot folder on the way.
//
//   extract_demo.exe <launcher> <package path> <screenshot folder>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/EulaDialogDriver.h"
#include "tests/support/ExtractDialogDriver.h"
#include "tests/support/ResultDialogDriver.h"
#include "tests/support/SaveAsDriver.h"
#include "tests/support/Screenshot.h"

namespace {

int Fail(const char* step)
{
    std::printf("extract demo: %s\n", step);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    const std::wstring package = argv[2];
    const std::wstring screenshots = argv[3];
    DrivenProcess launcher(argv[1], L"/extract");

    const ExtractDialogDriver options = ExtractDialogDriver::WaitFor(launcher);
    if (!options.Window())
        return Fail("no options dialog");
    options.Click(ExtractDialogDriver::DesktopShortcut);
    options.Click(ExtractDialogDriver::NoUpdateCheck);
    options.TypeInstallDir(L"C:\\Brinmoor Demo");
    options.Click(ExtractDialogDriver::Agreement);
    const EulaDialogDriver agreement = EulaDialogDriver::WaitFor(launcher);
    if (!agreement.Window())
        return Fail("no licence agreement");
    SaveScreenshot(screenshots, L"licence-agreement", agreement.Window());
    agreement.PressAccept();
    if (!options.WaitForChecked(ExtractDialogDriver::Agreement, true))
        return Fail("the agreement was not accepted");
    SaveScreenshot(screenshots, L"extract-options", options.Window());
    options.PressSave();

    const SaveAsDriver saveAs = SaveAsDriver::WaitFor(launcher);
    if (!saveAs.Window())
        return Fail("no Save As dialog");
    saveAs.TypeFileName(package);
    saveAs.PressSave();

    const ResultDialogDriver result = ResultDialogDriver::WaitFor(launcher);
    if (!result.Window())
        return Fail("no closing dialog (see the launcher's error box)");
    SaveScreenshot(screenshots, L"package-saved", result.Window());
    result.SetOpenFolder(false);
    result.PressOk();
    DWORD exitCode = 1;
    if (!launcher.WaitForExit(60000, exitCode))
        return Fail("the launcher did not end");
    return static_cast<int>(exitCode);
}
