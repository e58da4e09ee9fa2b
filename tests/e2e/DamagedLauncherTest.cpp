#include <windows.h>

#include <fstream>
#include <string>

#include "tests/e2e/LauncherTest.h"
#include "tests/support/ExtractDialogDriver.h"
#include "tests/support/SaveAsDriver.h"

namespace {

const wchar_t DamagedText[] = L"Exception: The installer file is damaged. Please download it again.";

std::wstring PayloadItem(const std::wstring& name)
{
    return BRINMOOR_BUILD_DIR L"\\tests\\payloads\\recording\\" + name;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream file(path.c_str(), std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A copy of the recording launcher, damaged the way a broken download is.
class DamagedLauncherTest : public LauncherTest {
protected:
    void SetUp() override
    {
        folder = temp.Path() + L"Downloads\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        launcher = ReadWholeFile(LauncherPath(L"recording"));
        ASSERT_FALSE(launcher.empty());
    }

    // Flips one bit in the middle of a payload item as the launcher carries it.
    void FlipByteOfItem(const std::wstring& name)
    {
        const std::string item = ReadWholeFile(PayloadItem(name));
        ASSERT_GT(item.size(), 8192u);
        const std::string probe = item.substr(item.size() / 2, 2048);
        const size_t at = launcher.find(probe);
        ASSERT_NE(std::string::npos, at) << "the item's bytes are not in the launcher";
        ASSERT_EQ(std::string::npos, launcher.find(probe, at + 1)) << "the probe is not unique";
        launcher[at + 100] ^= 0x01;
    }

    std::wstring Write() const
    {
        const std::wstring path = folder + L"BrinmoorSetup.exe";
        WriteWholeFile(path, launcher);
        return path;
    }

    std::string launcher;
    std::wstring folder;
};

}  // namespace

TEST_F(DamagedLauncherTest, FlippedByteStopsTheRunAndLeavesNothingStaged)
{
    ASSERT_NO_FATAL_FAILURE(FlipByteOfItem(L"SetupUI.exe"));
    auto process = Start(L"", Write());
    const MessageBoxView box = WaitForMessageBox(*process);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(L"Brinmoor Setup", box.caption);
    EXPECT_EQ(DamagedText, box.text);
    EXPECT_EQ(IconStyle::Error, box.icon);

    // While the box is up the run has already cleaned up: the items staged
    // before the damaged one are gone, and so is the damaged one.
    const std::vector<std::wstring> folders = RunFolders();
    ASSERT_EQ(1u, folders.size());
    EXPECT_EQ(std::vector<std::wstring>{L"Setup.log"}, ListFolder(folders.front()));
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(InstallFailure, ExitCodeOf(*process));
    EXPECT_FALSE(FileExists(temp.Path() + L"frontend-record.txt")) << "the front end was started";
}

TEST_F(DamagedLauncherTest, DamagedPackageIsNotExtracted)
{
    ASSERT_NO_FATAL_FAILURE(FlipByteOfItem(L"Brinmoor.msi"));
    auto process = Start(L"/extract", Write());
    // The options dialog comes first; the package is read only after Save.
    const ExtractDialogDriver dialog = ExtractDialogDriver::WaitFor(*process);
    ASSERT_NE(nullptr, dialog.Window());
    dialog.PressSave();
    const SaveAsDriver saveAs = SaveAsDriver::WaitFor(*process);
    ASSERT_NE(nullptr, saveAs.Window());
    const std::wstring target = temp.Path() + L"Saved package.msi";
    saveAs.TypeFileName(target);
    saveAs.PressSave();

    const MessageBoxView box = WaitForMessageBox(*process);
    ASSERT_NE(nullptr, box.window);
    EXPECT_EQ(DamagedText, box.text);
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(InstallFailure, ExitCodeOf(*process));
    EXPECT_FALSE(FileExists(target));
}
