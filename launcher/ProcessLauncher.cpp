#include "launcher/ProcessLauncher.h"

#include <shellapi.h>

#include "win/Handles.h"
#include "log/SetupLog.h"

HANDLE ProcessLauncher::Start() const
{
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof request;
    // No shell error dialog: the caller tells the user itself.
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"open";
    request.lpFile = path.c_str();
    request.lpParameters = arguments.c_str();
    request.nShow = minimized ? SW_SHOWMINNOACTIVE : SW_SHOWDEFAULT;

    setupLog << "Trying to start process: " << path << " " << arguments << std::endl;
    const BOOL started = ShellExecuteExW(&request);
    setupLog << "  Succeeded: " << static_cast<int>(started) << std::endl;
    return request.hProcess;
}

bool ProcessLauncher::RunAndWait(int& exitCode) const
{
    exitCode = -1;
    KernelHandle process(Start());
    if (!process)
        return false;

    setupLog << "Waiting for process to finish..." << std::endl;
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = static_cast<DWORD>(exitCode);
    GetExitCodeProcess(process.get(), &code);
    exitCode = static_cast<int>(code);
    process.reset();
    setupLog << "  Exit code: " << exitCode << std::endl;
    return true;
}
