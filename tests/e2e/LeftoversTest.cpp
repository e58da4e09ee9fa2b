#include <string>
#include <vector>

#include "tests/e2e/LauncherTest.h"
#include "tests/support/ProcessList.h"

namespace {

const std::vector<std::wstring> StagedPayload = {
    L"Brinmoor.msi", L"DotNet.exe", L"Setup.log", L"SetupUI.exe", L"SetupUI.exe.config",
    L"de\\", L"en-US\\", L"es\\", L"fr\\", L"it\\", L"ja\\", L"pt-BR\\", L"ru\\", L"zh-Hans\\",
};

class LeftoversTest : public LauncherTest {
protected:
    std::wstring Root() const { return temp.Path() + L"BrinmoorSetup\\"; }

    void RunToTheEnd()
    {
        auto process = Start(L"", LauncherPath(L"recording"));
        EXPECT_EQ(ExitCodeOf(*process), 0u);
    }

    // A folder of payload names with files of someone else's beside them.
    void Plant(const std::wstring& name) const
    {
        const std::wstring folder = L"BrinmoorSetup\\" + name + L"\\";
        ASSERT_TRUE(CreateDirectoryW((temp.Path() + folder).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((temp.Path() + folder + L"de").c_str(), nullptr));
        for (const wchar_t* file : {L"Brinmoor.msi", L"SetupUI.exe", L"Setup.log", L"notes.txt",
                                    L"de\\SetupUI.resources.dll", L"de\\notes.txt"})
            temp.WriteFile(folder + file, "x");
    }
};

// The launcher is killed while its front end runs; the front end goes on,
// holding the package open, as an installation in progress would.
TEST_F(LeftoversTest, ABrokenOffRunsPayloadGoesOnceNothingUsesItAndNothingElseDoes)
{
    temp.WriteFile(L"frontend-orphan.txt", "");
    {
        auto killed = Start(L"", LauncherPath(L"recording"));
        for (int i = 0; i < 900 && !temp.Exists(L"frontend-orphan-taken.txt"); ++i)
            Sleep(100);
        ASSERT_TRUE(temp.Exists(L"frontend-orphan-taken.txt")) << "the front end did not start";
        killed->Kill();
    }
    const std::vector<std::wstring> orphaned = RunFolders();
    ASSERT_EQ(orphaned.size(), 1u);
    Plant(L"not-a-run-folder");
    Plant(L"0f1e2d3c-4b5a-4697-8a8b-9c0d1e2f3a4b");
    DeleteFileW((temp.Path() + L"frontend-record.txt").c_str());

    RunToTheEnd();
    EXPECT_EQ(ListFolder(orphaned[0]), StagedPayload) << "a payload in use was touched";
    const std::wstring planted = Root() + L"0f1e2d3c-4b5a-4697-8a8b-9c0d1e2f3a4b\\";
    EXPECT_EQ(ListFolder(planted), (std::vector<std::wstring>{L"Setup.log", L"de\\", L"notes.txt"}));
    EXPECT_EQ(ListFolder(planted + L"de\\"), std::vector<std::wstring>{L"notes.txt"});
    EXPECT_EQ(ListFolder(Root() + L"not-a-run-folder\\").size(), 5u);

    DeleteFileW((temp.Path() + L"frontend-orphan-taken.txt").c_str());
    for (int i = 0; i < 300 && !ProcessIdsNamed(L"SetupUI.exe").empty(); ++i)
        Sleep(100);
    ASSERT_TRUE(ProcessIdsNamed(L"SetupUI.exe").empty()) << "the orphaned front end did not end";
    RunToTheEnd();
    EXPECT_EQ(ListFolder(orphaned[0]), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_NE(ReadWholeFile(orphaned[0] + L"Setup.log").find("Waiting for process to finish...\n"), std::string::npos);
}

}  // namespace
