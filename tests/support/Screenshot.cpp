#include "tests/support/Screenshot.h"

#include "tests/support/TempFolder.h"
#include "tests/support/UnixCommand.h"

bool SaveScreenshot(const std::wstring& folder, const std::wstring& name, HWND window)
{
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring file = folder + name + L".png";
    DeleteFileW(file.c_str());
    std::string crop;
    RECT rect;
    if (window && GetWindowRect(window, &rect)) {
        crop = " -crop " + std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top) +
               "+" + std::to_string(rect.left) + "+" + std::to_string(rect.top) + " +repage";
    }
    // The window must have painted itself before the screen is read.
    Sleep(500);
    const UnixCommandResult result =
        RunUnixCommand("/usr/bin/import -window root" + crop + " " + ShellQuote(UnixPath(file)));
    return result.finished && result.exitCode == 0 && FileExists(file);
}
