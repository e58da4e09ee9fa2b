#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/MessageBoxDriver.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiDriver.h"

// The exit codes a deployment tool judges a run by.
const DWORD InstallFailure = ERROR_INSTALL_FAILURE;
const DWORD UserExit = ERROR_INSTALL_USEREXIT;
const DWORD InvalidCommandLine = ERROR_INVALID_COMMAND_LINE;

// Each test runs the real launcher with a TEMP folder of its own.
class LauncherTest : public testing::Test {
protected:
    // The launcher built with the demo payload, or a test build by name.
    static std::wstring LauncherPath(const std::wstring& build = std::wstring());

    std::unique_ptr<DrivenProcess> Start(const std::wstring& arguments,
                                         const std::wstring& launcher = LauncherPath());
    static std::unique_ptr<DrivenProcess> StartWithTemp(const std::wstring& arguments, const std::wstring& launcher,
                                                        const std::wstring& tempFolder);
    // Full paths of the per-run folders, each ending with a backslash.
    std::vector<std::wstring> RunFolders() const;
    // Waits for the process to end and gives its full 32-bit exit code.
    static DWORD ExitCodeOf(const DrivenProcess& process, DWORD timeoutMs = 120000);

    TempFolder temp;
};

// What the log holds for a path: its UTF-8 bytes.
std::string Utf8(const std::wstring& text);

// Names of the files and folders inside a folder, sorted; folders end with "\".
std::vector<std::wstring> ListFolder(const std::wstring& folder);
