#include <windows.h>

#include <stdexcept>
#include <string>

#include "launcher/CommandLine.h"
#include "launcher/RunSetup.h"
#include "launcher/SetupMessage.h"
#include "win/DllSearch.h"

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
        return 0;
    }
    try {
        return RunSetup(instance, options.mode);
    } catch (const std::runtime_error& error) {
        ShowException(error.what());
        return 0;
    }
}
