#include <windows.h>

#include <stdexcept>
#include <string>

#include "image/CopyProgress.h"
#include "launcher/CommandLine.h"
#include "launcher/RunSetup.h"
#include "launcher/SetupMessage.h"
#include "win/DllSearch.h"

// How long a copy runs before its progress window appears: a run that
// stages within it shows nothing before the front end's own window. Test
// builds set it to 0.
#ifndef BRINMOOR_PROGRESS_DELAY_MS
#define BRINMOOR_PROGRESS_DELAY_MS 1000
#endif

namespace {

void ShowException(const char* message)
{
    const std::string text = std::string("Exception: ") + (*message ? message : "Unknown exception");
    MessageBoxA(nullptr, text.c_str(), "Brinmoor Setup", MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    // Before anything can load a DLL by name.
    RestrictDllSearchToSystemFolder();
    const CommandLineOptions options = ParseCommandLine(commandLine ? commandLine : L"");
    if (options.showHelp) {
        ShowMessageBox(GetOptionList(), MB_ICONINFORMATION);
        return OptionListExitCode(options);
    }
    try {
        return RunSetup(instance, options.mode, BRINMOOR_PROGRESS_DELAY_MS);
    } catch (const CopyCancelled&) {
        // The user's own choice: no message, only the exit code.
        return ERROR_INSTALL_USEREXIT;
    } catch (const std::runtime_error& error) {
        ShowException(error.what());
        return ERROR_INSTALL_FAILURE;
    }
}
