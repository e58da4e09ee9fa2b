#pragma once

#include <windows.h>

#include <string>

// Starts one program through the shell, waits for it without a time limit and
// hands back its exit code, logging each step.
class ProcessLauncher {
public:
    ProcessLauncher(const std::wstring& path, const std::wstring& arguments, bool minimized)
        : path(path), arguments(arguments), minimized(minimized)
    {
    }

    // The started process's handle, which the caller closes; null when not started.
    HANDLE Start() const;
    // False when the program was not started; exitCode is then -1.
    bool RunAndWait(int& exitCode) const;

private:
    std::wstring path;
    std::wstring arguments;
    bool minimized;
};
