#pragma once

#include <windows.h>

#include <string>

// Wine starts Unix programs too, but hands back a process that is already
// "ended": the command itself leaves a status file behind, and the caller
// waits for that file instead of the process.

// The Unix path under which Wine keeps a Windows path.
std::string UnixPath(const std::wstring& windowsPath);
// Single-quoted for /bin/sh.
std::string ShellQuote(const std::string& text);

struct UnixCommandResult {
    bool finished = false;
    int exitCode = -1;
    std::string output;  // standard output only
};

UnixCommandResult RunUnixCommand(const std::string& command, DWORD timeoutMs = 60000);
