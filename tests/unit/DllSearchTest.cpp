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

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH));
}

std::wstring FileOf(HMODULE module)
{
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH));
}

}  // namespace

// Wine always understands the search flag, so the Windows 7 without update
// KB2533623 that refuses it is played by the seam.
TEST(DllSearch, WithoutTheSearchFlagTheDllIsLoadedByItsFullSystemPath)
{
    const ModuleHandle module(LoadSystemDll(L"msi.dll", false, RecordingLoad));
    ASSERT_TRUE(module.valid());
    EXPECT_EQ(Lower(requestedName), Lower(SystemFolder() + L"\\msi.dll"));
    EXPECT_EQ(requestedFlags, static_cast<DWORD>(LOAD_WITH_ALTERED_SEARCH_PATH));
    EXPECT_EQ(Lower(FileOf(module.get())), Lower(SystemFolder() + L"\\msi.dll"));
}

TEST(DllSearch, WithTheSearchFlagTheBareNameIsSearchedInTheSystemFolderOnly)
{
    EXPECT_TRUE(SystemFolderSearchSupported());
    const ModuleHandle module(LoadSystemDll(L"msi.dll", true, RecordingLoad));
    ASSERT_TRUE(module.valid());
    EXPECT_EQ(requestedName, L"msi.dll");
    EXPECT_EQ(requestedFlags, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
    EXPECT_EQ(Lower(FileOf(module.get())), Lower(SystemFolder() + L"\\msi.dll"));
}
