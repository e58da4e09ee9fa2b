#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "image/ExeImage.h"
#include "win/Handles.h"
#include "staging/LocaleTree.h"
#include "staging/StagedFile.h"
#include "staging/StagingFolder.h"
#include "tests/support/ErrorText.h"
#include "tests/support/LogWatch.h"
#include "tests/support/TempFolder.h"
#include "win/FileIdentity.h"

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

TEST(StagingFolder, EachCallMakesANewRandomlyNamedFolderUnderBrinmoorSetup)
{
    std::vector<std::wstring> paths;
    {
        const StagingFolder first = CreateStagingFolder();
        const StagingFolder second = CreateStagingFolder();
        paths = {first.Path(), second.Path()};
        // Held: nobody can move the folder away while the run uses it.
        const std::wstring moved = first.Path().substr(0, first.Path().size() - 1) + L"-moved";
        EXPECT_FALSE(MoveFileW(first.Path().c_str(), moved.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_NE(paths[0], paths[1]);
    for (const std::wstring& folder : paths) {
        ASSERT_EQ(folder.back(), L'\\');
        const std::wstring parent = folder.substr(0, folder.size() - 1 - 36);
        EXPECT_GE(parent.size(), 15u);
        EXPECT_EQ(parent.substr(parent.size() - 15), L"\\BrinmoorSetup\\");
        const std::wstring uuid = folder.substr(parent.size(), 36);
        EXPECT_EQ(uuid.find_first_not_of(L"0123456789abcdef-"), std::wstring::npos) << testing::PrintToString(uuid);
        EXPECT_EQ(uuid[8], L'-');
        EXPECT_EQ(uuid[23], L'-');
        // Random (version 4, RFC 4122 variant), not made from the time and the network card.
        EXPECT_EQ(uuid[14], L'4') << testing::PrintToString(uuid);
        EXPECT_NE(std::wstring(L"89ab").find(uuid[19]), std::wstring::npos) << testing::PrintToString(uuid);
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
    }
}

int nameCalls = 0;
std::wstring TakenThenFree()
{
    return nameCalls++ == 0 ? L"taken" : L"free";
}
std::wstring AlwaysTaken()
{
    return L"taken";
}

TEST(StagingFolder, ANameThatExistsIsNeverReused)
{
    TempFolder temp;
    ASSERT_TRUE(CreateDirectoryW((temp.Path() + L"BrinmoorSetup").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((temp.Path() + L"BrinmoorSetup\\taken").c_str(), nullptr));
    temp.WriteFile(L"BrinmoorSetup\\taken\\someone else's", "x");
    {
        const StagingFolder folder = CreateStagingFolderIn(temp.Path(), TakenThenFree);
        EXPECT_EQ(folder.Path(), temp.Path() + L"BrinmoorSetup\\free\\");
    }
    EXPECT_EQ(ErrorText([&] { CreateStagingFolderIn(temp.Path(), AlwaysTaken); }), "CreateDirectory failed");
    EXPECT_EQ(temp.ReadFile(L"BrinmoorSetup\\taken\\someone else's"), "x");
}

FileIdentity IdentityAt(const std::wstring& path)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    const std::optional<FileIdentity> identity = IdentityOf(file.get());
    EXPECT_TRUE(identity.has_value());
    return identity.value_or(FileIdentity());
}

// Between the write handle's close and the hold, another process may swap
// a file of its own in, or a scanner may have the new file open for a moment.
TEST(HeldFile, ASwappedInFileIsNeverHeldAndAScannerIsWaitedOut)
{
    TempFolder folder;
    const std::wstring item = folder.Path() + L"item";
    folder.WriteFile(L"item", "written");
    const FileIdentity written = IdentityAt(item);
    folder.WriteFile(L"swapped", "someone else's");
    ASSERT_TRUE(MoveFileExW((folder.Path() + L"swapped").c_str(), item.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_FALSE(HoldWrittenFile(item, written).valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));

    const FileIdentity swapped = IdentityAt(item);
    FileHandle scanner(CreateFileW(item.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(scanner.valid());
    std::thread scan([&] {
        Sleep(300);
        scanner.reset();
    });
    const FileHandle held = HoldWrittenFile(item, swapped);
    scan.join();
    EXPECT_TRUE(held.valid());
    const FileHandle writer(CreateFileW(item.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(writer.valid()) << "the held file could be written";
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
