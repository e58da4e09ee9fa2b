#include "tests/support/UnixCommand.h"

#include <fstream>
#include <stdexcept>

#include "tests/support/TempFolder.h"
#include "win/Kernel32Export.h"

namespace {

using ToUnixFileName = char* CDECL(const wchar_t*);

}  // namespace

std::string UnixPath(const std::wstring& windowsPath)
{
    ToUnixFileName* const toUnix = Kernel32Export<ToUnixFileName>("wine_get_unix_file_name");
    if (!toUnix)
        throw std::runtime_error("UnixPath: not running under Wine");
    char* unixPath = toUnix(windowsPath.c_str());
    if (!unixPath)
        throw std::runtime_error("UnixPath: no Unix path");
    const std::string path = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return path;
}

std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

UnixCommandResult RunUnixCommand(const std::string& command, DWORD timeoutMs)
{
    TempFolder work;
    const std::string folder = UnixPath(work.Path());
    // The status file appears whole, and only after the output is complete.
    work.WriteFile(L"run.sh", "(" + command + ") >" + ShellQuote(folder + "output") + "\n" +
                                  "echo $? >" + ShellQuote(folder + "status.part") + "\n" +
                                  "mv " + ShellQuote(folder + "status.part") + " " + ShellQuote(folder + "status") +
                                  "\n");
    // Wine hands the words to the Unix program as they are: a Unix path, in quotes.
    const std::string script = folder + "run.sh";
    std::wstring commandLine = L"sh \"" + std::wstring(script.begin(), script.end()) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    UnixCommandResult result;
    if (!CreateProcessW(L"Z:\\bin\\sh", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return result;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!work.Exists(L"status") && GetTickCount64() < end)
        Sleep(50);
    if (!work.Exists(L"status"))
        return result;
    result.finished = true;
    result.exitCode = std::stoi("0" + work.ReadFile(L"status"));
    result.output = work.ReadFile(L"output");
    return result;
}
