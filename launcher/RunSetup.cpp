#include "launcher/RunSetup.h"

#include <array>

#include "extract/Extraction.h"
#include "image/ExeImage.h"
#include "launcher/Prerequisites.h"
#include "launcher/ProcessLauncher.h"
#include "launcher/SetupMessage.h"
#include "launcher/StagingProgress.h"
#include "log/SetupLog.h"
#include "staging/Leftovers.h"
#include "staging/LocaleTree.h"
#include "staging/PayloadTable.h"
#include "staging/StagedFile.h"
#include "staging/StagingFolder.h"

namespace {

uint64_t PayloadBytes(const ExeImage& image)
{
    uint64_t total = 0;
    for (const PayloadItem& item : TopLevelItems)
        total += image.ResourceSize(item.resourceId);
    for (const PayloadItem& satellite : Satellites)
        total += image.ResourceSize(satellite.resourceId);
    return total;
}

int InstallPayload(HINSTANCE instance, const StagingFolder& staging, DWORD progressDelayMs)
{
    if (!IsSupportedWindows()) {
        ShowMessageBox(L"This product can only be installed on Windows 7 Service Pack 1 or higher", MB_ICONERROR);
        return 1;
    }
    ReclaimLeftovers(staging.Root(), staging.Name());

    // Declared in creation order so that they are released in reverse, on an error too.
    const std::wstring stagingPath = staging.Path();
    ExeImage image;
    StagingProgress progress(instance, L"Preparing Brinmoor Tessolan Setup\u2026", PayloadBytes(image),
                             progressDelayMs);
    std::array<StagedFile, TopLevelItems.size()> files;
    for (size_t i = 0; i < TopLevelItems.size(); ++i) {
        const std::wstring target = stagingPath + TopLevelItems[i].name;
        files[i].SetPath(target, image.SaveResourceToHeldFile(TopLevelItems[i].resourceId, target, &progress));
    }
    LocaleTree locales(stagingPath, image, &progress);
    for (const PayloadItem& satellite : Satellites)
        locales.AddLocale(satellite.name, satellite.resourceId);
    progress.Close();

    const ProcessLauncher frontEnd(files[FrontEndItem].Path(), L"/log=true", false);
    int exitCode = -1;
    if (!frontEnd.RunAndWait(exitCode)) {
        ShowMessageBox(L"Failed to start Setup. Please contact Technical Support.", MB_ICONERROR);
        return ERROR_INSTALL_FAILURE;
    }
    // The front end's own result (1602, 1603, 3010, a crash's code) is what a
    // deployment tool needs to see.
    if (exitCode != 0)
        DiagnoseDotNet35();
    return exitCode;
}

}  // namespace

int RunSetup(HINSTANCE instance, RunMode mode, DWORD progressDelayMs)
{
    // Held until the run ends, after the payload in it has been removed.
    const StagingFolder staging = CreateStagingFolder();
    OpenSetupLog(staging.Path());
    if (mode != Install)
        return RunExtraction(instance, mode == Defaults, progressDelayMs);
    return InstallPayload(instance, staging, progressDelayMs);
}
