#include "extract/Extraction.h"

#include <shellapi.h>

#include <string>

#include "extract/ExtractDialog.h"
#include "extract/ExtractOptions.h"
#include "extract/ExtractResultDialog.h"
#include "extract/PackageProperties.h"
#include "image/ExeImage.h"
#include "launcher/StagingProgress.h"
#include "staging/StagedFile.h"
#include "win/SystemFolders.h"

namespace {

const int PackageResourceId = 135;

const wchar_t* Flag(bool set)
{
    return set ? L"#1" : L"#0";
}

// A package for use with a defaults file takes only the shortcut and the folder.
void WriteOptions(const PackageProperties& properties, const ExtractOptions& options, bool defaultsMode)
{
    if (!defaultsMode) {
        properties.Set(L"NO_UPDATE_CHECK_PROPERTY", Flag(options.noUpdateCheck));
        properties.Set(L"NO_EULA_PROPERTY", Flag(options.noEula));
    }
    properties.Set(L"INSTALL_DESKTOP_SHORTCUT_PROPERTY", Flag(options.desktopShortcut));
    if (!options.installDir.empty())
        properties.Set(L"INSTALL_DIR_PROPERTY", options.installDir);
}

// The quotation marks keep a package path with blanks whole.
void ShowInFileManager(const std::wstring& path)
{
    const std::wstring explorer = InWindowsFolder(L"explorer.exe");
    const std::wstring parameters = L"/select,\"" + path + L"\"";
    if (!explorer.empty())
        ShellExecuteW(nullptr, L"open", explorer.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace

int RunExtraction(HINSTANCE instance, bool defaultsMode, DWORD progressDelayMs)
{
    // Declared in creation order so that they are released in reverse, on an
    // error too: the package file is deleted after its handles are closed.
    ExtractDialog optionsDialog(instance, defaultsMode);
    if (optionsDialog.Show() != IDOK)
        return ERROR_INSTALL_USEREXIT;
    const ExtractOptions options = optionsDialog.Options();

    // Opened only now: a cancelled run never reads the launcher's own file.
    const ExeImage image;
    StagedFile package;
    StagingProgress progress(instance, L"Saving the installer package\u2026", image.ResourceSize(PackageResourceId),
                             progressDelayMs);
    image.SaveResourceToFile(PackageResourceId, options.packagePath, &progress);
    progress.Close();
    package.SetPath(options.packagePath);

    const PackageProperties properties(options.packagePath);
    WriteOptions(properties, options, defaultsMode);
    properties.Commit();
    package.Keep();

    ExtractResultDialog resultDialog(instance, options.packagePath);
    if (resultDialog.Show() == IDOK && resultDialog.OpenFolder())
        ShowInFileManager(options.packagePath);
    return 0;
}
