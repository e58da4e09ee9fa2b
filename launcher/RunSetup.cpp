#include "launcher/RunSetup.h"

#include <array>

#include "extract/Extraction.h"
#include "image/ExeImage.h"
#include "launcher/Prerequisites.h"
#include "launcher/ProcessLauncher.h"
#include "launcher/SetupMessage.h"
#include "log/SetupLog.h"
#include "staging/LocaleTree.h"
#include "staging/StagedFile.h"
#include "staging/StagingFolder.h"

namespace {

struct PayloadItem {
    int resourceId;
    const wchar_t* name;  // a file name, or a locale folder for a satellite
};

// Staged in this order; the first four beside the front end, then the satellites.
const std::array<PayloadItem, 4> TopLevelItems = {{
    {135, L"Brinmoor.msi"},
    {132, L"DotNet.exe"},
    {133, L"SetupUI.exe"},
    {134, L"SetupUI.exe.config"},
}};
const size_t FrontEndItem = 2;

const std::array<PayloadItem, 9> Satellites = {{
    {136, L"de"},
    {137, L"en-US"},
    {138, L"es"},
    {139, L"fr"},
    {140, L"it"},
    {141, L"ja"},
    {142, L"pt-BR"},
    {143, L"ru"},
    {144, L"zh-Hans"},
}};

int InstallPayload(const std::wstring& stagingPath)
{
    if (!IsSupportedWindows()) {
        ShowMessageBox(L"This product can only be installed on Windows 7 Service Pack 1 or higher", MB_ICONERROR);
        return 1;
    }

    // Declared in creation order so that they are released in reverse, on an error too.
    ExeImage image;
    std::array<StagedFile, TopLevelItems.size()> files;
    for (size_t i = 0; i < TopLevelItems.size(); ++i) {
        const std::wstring target = stagingPath + TopLevelItems[i].name;
        files[i].SetPath(target, image.SaveResourceToHeldFile(TopLevelItems[i].resourceId, target));
    }
    LocaleTree locales(stagingPath, image);
    for (const PayloadItem& satellite : Satellites)
        locales.AddLocale(satellite.name, satellite.resourceId);

    const ProcessLauncher frontEnd(files[FrontEndItem].Path(), L"/log=true", false);
    int exitCode = -1;
    if (!frontEnd.RunAndWait(exitCode))
        ShowMessageBox(L"Failed to start Setup. Please contact Technical Support.", MB_ICONERROR);
    else if (exitCode != 0)
        DiagnoseDotNet35();
    return 0;
}

}  // namespace

int RunSetup(HINSTANCE instance, RunMode mode)
{
    // Held until the run ends, after the payload in it has been removed.
    const StagingFolder staging = CreateStagingFolder();
    OpenSetupLog(staging.Path());
    if (mode != Install)
        return RunExtraction(instance, mode == Defaults);
    return InstallPayload(staging.Path());
}
