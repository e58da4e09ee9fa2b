#include "tests/e2e/LauncherTest.h"

#include <algorithm>

std::wstring LauncherTest::LauncherPath(const std::wstring& build)
{
    if (build.empty())
        return BRINMOOR_BUILD_DIR L"\\BrinmoorSetup.exe";
    return BRINMOOR_BUILD_DIR L"\\tests\\launchers\\" + build + L"\\BrinmoorSetup.exe";
}

std::unique_ptr<DrivenProcess> LauncherTest::Start(const std::wstring& arguments, const std::wstring& launcher)
{
    return StartWithTemp(arguments, launcher, temp.Path());
}

std::unique_ptr<DrivenProcess> LauncherTest::StartWithTemp(const std::wstring& arguments,
                                                           const std::wstring& launcher,
                                                           const std::wstring& tempFolder)
{
    const EnvironmentOverrides environment = {
        {L"TEMP", tempFolder},
        {L"TMP", tempFolder},
    };
    return std::make_unique<DrivenProcess>(launcher, arguments, environment);
}

std::vector<std::wstring> LauncherTest::RunFolders() const
{
    const std::wstring root = temp.Path() + L"BrinmoorSetup\\";
    std::vector<std::wstring> folders;
    for (const std::wstring& name : ListFolder(root)) {
        if (name.back() == L'\\')
            folders.push_back(root + name);
    }
    return folders;
}

DWORD LauncherTest::ExitCodeOf(const DrivenProcess& process, DWORD timeoutMs)
{
    DWORD exitCode = 0xFFFFFFFF;
    EXPECT_TRUE(process.WaitForExit(timeoutMs, exitCode)) << "the launcher did not end";
    return exitCode;
}

std::vector<std::wstring> ListFolder(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        names.push_back(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? name + L"\\" : name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}
