#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>

#include "image/ExeImage.h"
#include "win/Handles.h"
#include "staging/LocaleTree.h"
#include "staging/StagedFile.h"
#include "staging/StagingFolder.h"
#include "tests/support/LogWatch.h"
#include "tests/support/TempFolder.h"

namespace {

// "BIN" resources of this test program: 201 is empty, 202 holds one byte,
// 206 is stored in two languages.
const int EmptyItem = 201;
const int OneByteItem = 202;
const int TwoLanguageItem = 206;

FileHandle OpenWithoutDeleteSharing(const std::wstring& path)
{
    return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

TEST(StagedFile, DeletesOnlyAFileWhosePathWasSet)
{
    TempFolder folder;
    folder.WriteFile(L"written", "x");
    folder.WriteFile(L"never-set", "x");
    {
        StagedFile written;
        written.SetPath(folder.Path() + L"written");
        StagedFile neverSet;
    }
    EXPECT_FALSE(folder.Exists(L"written"));
    EXPECT_TRUE(folder.Exists(L"never-set"));
}

TEST(StagedFile, KeptFileSurvives)
{
    TempFolder folder;
    folder.WriteFile(L"kept", "x");
    {
        StagedFile kept;
        kept.SetPath(folder.Path() + L"kept");
        kept.Keep();
    }
    EXPECT_TRUE(folder.Exists(L"kept"));
}

TEST(StagedFile, FileAlreadyGoneCostsNoWait)
{
    TempFolder folder;
    const ULONGLONG start = GetTickCount64();
    {
        StagedFile gone;
        gone.SetPath(folder.Path() + L"gone");
    }
    EXPECT_LT(GetTickCount64() - start, 500u);
}

TEST(StagedFile, FileHeldOpenStaysAfterAboutTwoSeconds)
{
    TempFolder folder;
    folder.WriteFile(L"held", "x");
    FileHandle held = OpenWithoutDeleteSharing(folder.Path() + L"held");
    ASSERT_TRUE(held.valid());
    const ULONGLONG start = GetTickCount64();
    {
        StagedFile staged;
        staged.SetPath(folder.Path() + L"held");
    }
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 1900u);
    EXPECT_LT(waited, 5000u);
    held.reset();
    EXPECT_TRUE(folder.Exists(L"held"));
}

TEST(StagingFolder, EachCallMakesANewFolderUnderBrinmoorSetup)
{
    const std::wstring first = CreateStagingFolder();
    const std::wstring second = CreateStagingFolder();
    EXPECT_NE(first, second);
    for (const std::wstring& folder : {first, second}) {
        ASSERT_EQ(folder.back(), L'\\');
        const std::wstring parent = folder.substr(0, folder.size() - 1 - 36);
        EXPECT_GE(parent.size(), 15u);
        EXPECT_EQ(parent.substr(parent.size() - 15), L"\\BrinmoorSetup\\");
        const std::wstring uuid = folder.substr(parent.size(), 36);
        EXPECT_EQ(uuid.find_first_not_of(L"0123456789abcdef-"), std::wstring::npos) << testing::PrintToString(uuid);
        EXPECT_EQ(uuid[8], L'-');
        EXPECT_EQ(uuid[23], L'-');
        EXPECT_TRUE(FileExists(folder));
        RemoveDirectoryW(folder.c_str());
    }
}

class LocaleTreeTest : public testing::Test {
protected:
    TempFolder staging;
    ExeImage image;
};

TEST_F(LocaleTreeTest, StagesEachSatelliteInItsFolderAndRemovesThem)
{
    {
        LocaleTree tree(staging.Path(), image);
        tree.AddLocale(L"de", OneByteItem);
        tree.AddLocale(L"zh-Hans", EmptyItem);
        EXPECT_EQ(staging.ReadFile(L"de\\SetupUI.resources.dll").size(), 1u);
        EXPECT_TRUE(staging.Exists(L"zh-Hans\\SetupUI.resources.dll"));
    }
    EXPECT_FALSE(staging.Exists(L"de"));
    EXPECT_FALSE(staging.Exists(L"zh-Hans"));
}

TEST_F(LocaleTreeTest, FoldersAreRemovedInTheOrderAdded)
{
    const LogWatch log;
    {
        LocaleTree tree(staging.Path(), image);
        tree.AddLocale(L"ru", OneByteItem);
        tree.AddLocale(L"de", OneByteItem);
        tree.AddLocale(L"ja", OneByteItem);
        // A stranger's file keeps each folder from being removed, so each removal is logged.
        staging.WriteFile(L"ru\\other", "x");
        staging.WriteFile(L"de\\other", "x");
        staging.WriteFile(L"ja\\other", "x");
    }
    const std::string root(staging.Path().begin(), staging.Path().end());
    EXPECT_EQ(log.Appended(), "RemoveDirectory failed: " + root + "ru\n" +
                              "RemoveDirectory failed: " + root + "de\n" +
                              "RemoveDirectory failed: " + root + "ja\n");
    EXPECT_FALSE(staging.Exists(L"de\\SetupUI.resources.dll"));
}

TEST_F(LocaleTreeTest, FailedCopyLeavesItsEmptyFolderAndKeepsTheEarlierOnes)
{
    {
        LocaleTree tree(staging.Path(), image);
        tree.AddLocale(L"de", OneByteItem);
        try {
            tree.AddLocale(L"fr", TwoLanguageItem);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "ResourceDir::GetResourceData");
        }
        EXPECT_TRUE(staging.Exists(L"de\\SetupUI.resources.dll"));
    }
    EXPECT_FALSE(staging.Exists(L"de"));
    EXPECT_TRUE(staging.Exists(L"fr"));
    EXPECT_FALSE(staging.Exists(L"fr\\SetupUI.resources.dll"));
}

}  // namespace
