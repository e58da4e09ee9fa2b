#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/LauncherTest.h"
#include "tests/support/EulaDialogDriver.h"
#include "tests/support/ExtractDialogDriver.h"
#include "tests/support/SaveAsDriver.h"
#include "tests/support/ScopedRegistry.h"

namespace {

// Every DLL the launcher loads or that the system DLLs load for it, which a
// person could drop beside a launcher in a Downloads folder.
const std::vector<std::wstring> PlantedNames = {
    L"msi.dll", L"riched20.dll", L"imagehlp.dll", L"comdlg32.dll", L"version.dll",
    L"uxtheme.dll", L"dwmapi.dll", L"cryptbase.dll", L"comctl32.dll", L"msftedit.dll",
};

// Wine takes its own DLL for a system name even when one lies beside the
// program; only when told to prefer native ones does a plant get a chance,
// and only then can this test fail. version.dll is left at Wine's default:
// Wine's own user32 imports it (Windows' does not), and a system DLL's
// imports are resolved before any code of the program runs.
const std::vector<std::wstring> PreferredNative = {
    L"msi", L"riched20", L"imagehlp", L"comdlg32", L"uxtheme", L"dwmapi", L"cryptbase", L"comctl32", L"msftedit",
};

std::wstring BuildFile(const std::wstring& relative)
{
    return BRINMOOR_BUILD_DIR L"\\" + relative;
}

class PlantedDllTest : public LauncherTest {
protected:
    void SetUp() override
    {
        // Per program, since Wine reads WINEDLLOVERRIDES from the Unix
        // environment, which a Windows parent cannot set for its child.
        for (const wchar_t* program : {L"BrinmoorSetup.exe", L"planting_control.exe"}) {
            for (const std::wstring& name : PreferredNative) {
                overrides.push_back(std::make_unique<ScopedRegistryValue>(
                    HKEY_CURRENT_USER, std::wstring(L"Software\\Wine\\AppDefaults\\") + program + L"\\DllOverrides",
                    name, L"native,builtin"));
            }
        }
        folder = temp.Path() + L"Downloads\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"BrinmoorSetup.exe.local").c_str(), nullptr));
        for (const std::wstring& name : PlantedNames) {
            ASSERT_TRUE(CopyFileW(BuildFile(L"tests\\programs\\planted.dll").c_str(), (folder + name).c_str(), FALSE));
            ASSERT_TRUE(CopyFileW(BuildFile(L"tests\\programs\\planted.dll").c_str(),
                                  (folder + L"BrinmoorSetup.exe.local\\" + name).c_str(), FALSE));
        }
        ASSERT_TRUE(CopyFileW(LauncherPath(L"recording").c_str(), (folder + L"BrinmoorSetup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(BuildFile(L"tests\\programs\\planting_control.exe").c_str(),
                              (folder + L"planting_control.exe").c_str(), FALSE));
    }

    std::unique_ptr<DrivenProcess> StartPlanted(const std::wstring& program, const std::wstring& arguments)
    {
        const EnvironmentOverrides environment = {
            {L"TEMP", temp.Path()},
            {L"TMP", temp.Path()},
        };
        return std::make_unique<DrivenProcess>(folder + program, arguments, environment);
    }

    // The names the planted DLLs wrote when they were loaded.
    std::string PlantedLoads() const
    {
        return FileExists(folder + L"planted-loads.txt") ? ReadWholeFile(folder + L"planted-loads.txt") : "";
    }

    std::vector<std::unique_ptr<ScopedRegistryValue>> overrides;
    std::wstring folder;
};

}  // namespace

TEST_F(PlantedDllTest, AProgramThatSearchesItsOwnFolderLoadsThePlants)
{
    auto control = StartPlanted(L"planting_control.exe", L"");
    EXPECT_EQ(0u, ExitCodeOf(*control));
    const std::string loads = PlantedLoads();
    EXPECT_NE(std::string::npos, loads.find("msi.dll")) << loads;
    EXPECT_NE(std::string::npos, loads.find("riched20.dll")) << loads;
}

TEST_F(PlantedDllTest, TheLauncherLoadsNoneInAnyMode)
{
    auto help = StartPlanted(L"BrinmoorSetup.exe", L"/help");
    const MessageBoxView options = WaitForMessageBox(*help);
    ASSERT_NE(nullptr, options.window);
    AnswerMessageBox(options, IDOK);
    EXPECT_EQ(0u, ExitCodeOf(*help));

    auto install = StartPlanted(L"BrinmoorSetup.exe", L"");
    EXPECT_EQ(0u, ExitCodeOf(*install));
    EXPECT_TRUE(FileExists(temp.Path() + L"frontend-record.txt")) << "the front end did not run";

    auto extract = StartPlanted(L"BrinmoorSetup.exe", L"/extract");
    const ExtractDialogDriver dialog = ExtractDialogDriver::WaitFor(*extract);
    ASSERT_NE(nullptr, dialog.Window());
    dialog.Click(ExtractDialogDriver::Agreement);
    const EulaDialogDriver agreement = EulaDialogDriver::WaitFor(*extract);
    ASSERT_NE(nullptr, agreement.Window());
    EXPECT_NE(std::wstring::npos, agreement.PlainText().find(L"Brinmoor")) << "the agreement shows no text";
    agreement.PressDecline();
    ASSERT_TRUE(dialog.WaitForChecked(ExtractDialogDriver::Agreement, false));
    dialog.PressSave();
    const SaveAsDriver saveAs = SaveAsDriver::WaitFor(*extract);
    ASSERT_NE(nullptr, saveAs.Window());
    saveAs.PressCancel();
    for (int i = 0; i < 200 && IsWindow(saveAs.Window()); ++i)
        Sleep(50);
    dialog.PressCancel();
    EXPECT_EQ(UserExit, ExitCodeOf(*extract));

    EXPECT_EQ("", PlantedLoads());
}
