#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "win/DllSearch.h"
#include "win/SystemLibrary.h"

namespace {

std::wstring requestedName;
DWORD requestedFlags = 0;

HMODULE WINAPI RecordingLoad(LPCWSTR name, HANDLE file, DWORD flags)
{
    requestedName = name;
    requestedFlags = flags;
    return LoadLibraryExW(name, file, flags);
}

}  // namespace

// Wine always understands the search flag, so the Windows 7 without update
// KB2533623 that refuses it is played by the seam: the DLL is then loaded by
// its full path in the system folder, never by its bare name.
TEST(DllSearch, SystemDllsComeFromTheSystemFolderWithOrWithoutTheSearchFlag)
{
    EXPECT_TRUE(SystemFolderSearchSupported());
    wchar_t folder[MAX_PATH] = {};
    const std::wstring systemMsi = std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)) + L"\\msi.dll";
    for (const bool searchSupported : {false, true}) {
        const ModuleHandle module(LoadSystemDll(L"msi.dll", searchSupported, RecordingLoad));
        ASSERT_TRUE(module.valid());
        EXPECT_EQ(0, lstrcmpiW(requestedName.c_str(), searchSupported ? L"msi.dll" : systemMsi.c_str()))
            << testing::PrintToString(requestedName);
        EXPECT_EQ(requestedFlags, static_cast<DWORD>(searchSupported ? LOAD_LIBRARY_SEARCH_SYSTEM32
                                                                     : LOAD_WITH_ALTERED_SEARCH_PATH));
        wchar_t loaded[MAX_PATH] = {};
        GetModuleFileNameW(module.get(), loaded, MAX_PATH);
        EXPECT_EQ(0, lstrcmpiW(loaded, systemMsi.c_str())) << testing::PrintToString(std::wstring(loaded));
    }
}
