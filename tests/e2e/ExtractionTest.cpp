#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/LauncherTest.h"
#include "tests/support/EulaDialogDriver.h"
#include "tests/support/ExtractDialogDriver.h"
#include "tests/support/MsiTables.h"
#include "tests/support/ProcessList.h"
#include "tests/support/UnixCommand.h"
#include "tests/support/ResultDialogDriver.h"
#include "tests/support/SaveAsDriver.h"
#include "tests/support/Screenshot.h"

namespace {

using Id = ExtractDialogDriver::Id;
using Properties = std::map<std::string, std::string>;

const char NoUpdateCheck[] = "NO_UPDATE_CHECK_PROPERTY";
const char NoEula[] = "NO_EULA_PROPERTY";
const char DesktopShortcut[] = "INSTALL_DESKTOP_SHORTCUT_PROPERTY";
const char InstallDir[] = "INSTALL_DIR_PROPERTY";

std::wstring PayloadPackage()
{
    return BRINMOOR_BUILD_DIR L"\\demo-payload\\Brinmoor.msi";
}

std::wstring ScreenshotFolder()
{
    return BRINMOOR_BUILD_DIR L"\\tests\\screenshots\\";
}

class ExtractionTest : public LauncherTest {
protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(TargetFolder().c_str(), nullptr)); }

    // Blanks in the folder, so that every path handed around has them.
    std::wstring TargetFolder() const { return temp.Path() + L"saved packages\\"; }
    std::wstring Target(const std::wstring& name = L"Brinmoor Custom.msi") const { return TargetFolder() + name; }

    ExtractDialogDriver OpenOptions(const std::wstring& mode, const std::wstring& launcher = LauncherPath())
    {
        process = Start(mode, launcher);
        const ExtractDialogDriver options = ExtractDialogDriver::WaitFor(*process);
        EXPECT_NE(options.Window(), nullptr) << "no options dialog appeared";
        return options;
    }

    SaveAsDriver OpenSaveAs(const ExtractDialogDriver& options) const
    {
        options.PressSave();
        const SaveAsDriver saveAs = SaveAsDriver::WaitFor(*process);
        EXPECT_NE(saveAs.Window(), nullptr) << "no Save As dialog appeared";
        return saveAs;
    }

    void SaveAs(const ExtractDialogDriver& options, const std::wstring& path) const
    {
        const SaveAsDriver saveAs = OpenSaveAs(options);
        ASSERT_NE(saveAs.Window(), nullptr);
        saveAs.TypeFileName(path);
        saveAs.PressSave();
    }

    ResultDialogDriver WaitForResult() const
    {
        const ResultDialogDriver result = ResultDialogDriver::WaitFor(*process);
        EXPECT_NE(result.Window(), nullptr) << "no closing dialog appeared";
        return result;
    }

    // Closes the closing dialog without opening anything and waits for the end.
    void FinishQuietly() const
    {
        const ResultDialogDriver result = WaitForResult();
        if (!result.Window())
            return;
        result.SetOpenFolder(false);
        result.PressOk();
        EXPECT_EQ(ExitCodeOf(*process), 0u);
    }

    // Saves the package with the options dialog's current choices.
    void SaveAndFinish(const ExtractDialogDriver& options, const std::wstring& path) const
    {
        SaveAs(options, path);
        FinishQuietly();
    }

    MessageBoxView ExpectErrorBox(const wchar_t* text) const
    {
        const MessageBoxView box = WaitForMessageBox(*process);
        EXPECT_NE(box.window, nullptr) << "no error box appeared";
        EXPECT_EQ(box.caption, L"Brinmoor Setup");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, IconStyle::Error);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        return box;
    }

    std::wstring OnlyRunFolder() const
    {
        const std::vector<std::wstring> folders = RunFolders();
        EXPECT_EQ(folders.size(), 1u);
        return folders.empty() ? std::wstring() : folders.front();
    }

    std::string SetupLog() const { return ReadWholeFile(OnlyRunFolder() + L"Setup.log"); }

    static std::string ModulePathLine(const std::wstring& launcher)
    {
        return "ExeImage: module path is " + Utf8(launcher) + "\n";
    }

    // The payload's own rows with some values replaced.
    static Properties PayloadPropertiesWith(const Properties& changed)
    {
        Properties expected = MsiProperties(PayloadPackage());
        for (const auto& row : changed)
            expected[row.first] = row.second;
        return expected;
    }

    // Every table but Property is the payload's, row for row.
    static void ExpectOtherTablesUnchanged(const std::wstring& package)
    {
        const std::vector<std::string> tables = MsiTableNames(PayloadPackage());
        ASSERT_FALSE(tables.empty());
        EXPECT_EQ(MsiTableNames(package), tables);
        for (const std::string& table : tables) {
            if (table == "Property")
                continue;
            const std::string exported = ExportMsiTable(package, table);
            EXPECT_FALSE(exported.empty()) << table;
            EXPECT_EQ(exported, ExportMsiTable(PayloadPackage(), table)) << table;
        }
    }

    std::unique_ptr<DrivenProcess> process;
};

TEST_F(ExtractionTest, ExtractWritesTheTickedOptionsAndTheFolderAsTyped)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    EXPECT_FALSE(options.HasControl(IDOK));
    EXPECT_EQ(FocusedControl(options.Window()), GetDlgItem(options.Window(), Id::Save));
    EXPECT_TRUE(SaveScreenshot(ScreenshotFolder(), L"options-extract", options.Window()));

    SetChecked(options.Window(), Id::DesktopShortcut, true);
    SetChecked(options.Window(), Id::NoUpdateCheck, true);
    EXPECT_TRUE(options.WaitForChecked(Id::DesktopShortcut, true));
    EXPECT_TRUE(options.WaitForChecked(Id::NoUpdateCheck, true));
    // Written character for character: blanks, no drive check, two trailing backslashes.
    const std::wstring folder = L"D:\\Program Files\\Brinmoor  Tessolan\\\\";
    options.TypeInstallDir(folder);
    SaveAndFinish(options, Target());

    ASSERT_TRUE(FileExists(Target()));
    EXPECT_EQ(MsiProperties(Target()), PayloadPropertiesWith({{NoUpdateCheck, "#1"},
                                                             {NoEula, "#0"},
                                                             {DesktopShortcut, "#1"},
                                                             {InstallDir, Utf8(folder)}}));
    ExpectOtherTablesUnchanged(Target());
    EXPECT_EQ(SetupLog(), ModulePathLine(LauncherPath()));
}

TEST_F(ExtractionTest, ExtractWithClearBoxesAndAcceptedAgreementWritesZerosAndNoFolder)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    SetChecked(options.Window(), Id::DesktopShortcut, false);
    SetChecked(options.Window(), Id::NoUpdateCheck, false);
    options.Click(Id::Agreement);
    const EulaDialogDriver eula = EulaDialogDriver::WaitFor(*process);
    ASSERT_NE(eula.Window(), nullptr);
    eula.PressAccept();
    EXPECT_TRUE(options.WaitForChecked(Id::Agreement, true));
    EXPECT_TRUE(options.WaitForChecked(Id::DesktopShortcut, false));
    EXPECT_TRUE(options.WaitForChecked(Id::NoUpdateCheck, false));
    EXPECT_EQ(options.InstallDirText(), L"");
    SaveAndFinish(options, Target());

    ASSERT_TRUE(FileExists(Target()));
    const Properties written = MsiProperties(Target());
    EXPECT_EQ(written, PayloadPropertiesWith({{NoUpdateCheck, "#0"}, {NoEula, "#1"}, {DesktopShortcut, "#0"}}));
    // The package keeps its own folder value.
    EXPECT_EQ(written.at(InstallDir), MsiProperties(PayloadPackage()).at(InstallDir));
    ExpectOtherTablesUnchanged(Target());
}

TEST_F(ExtractionTest, SavedPackageInstallsIntoTheTypedFolder)
{
    const std::wstring installFolder = temp.Path() + L"Installed Tessolan\\";
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    SetChecked(options.Window(), Id::DesktopShortcut, false);
    EXPECT_TRUE(options.WaitForChecked(Id::DesktopShortcut, false));
    options.TypeInstallDir(installFolder);
    SaveAndFinish(options, Target());
    ASSERT_TRUE(FileExists(Target()));

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring msiexec = std::wstring(system) + L"\\msiexec.exe";
    {
        DrivenProcess install(msiexec, L"/i \"" + Target() + L"\" /qn");
        EXPECT_EQ(ExitCodeOf(install, 300000), 0u);
    }
    EXPECT_TRUE(FileExists(installFolder + L"Readme.txt"));
    EXPECT_TRUE(FileExists(installFolder + L"License.txt"));
    {
        DrivenProcess remove(msiexec, L"/x \"" + Target() + L"\" /qn");
        EXPECT_EQ(ExitCodeOf(remove, 300000), 0u);
    }
    EXPECT_FALSE(FileExists(installFolder + L"Readme.txt"));
}

TEST_F(ExtractionTest, DefaultsHidesTheExtractSectionAndShrinksByItsHeight)
{
    const ExtractDialogDriver extract = OpenOptions(L"/extract");
    ASSERT_NE(extract.Window(), nullptr);
    const RECT extractDialog = extract.WindowRect();
    const RECT extractSave = extract.ControlRect(Id::Save);
    const RECT extractCancel = extract.ControlRect(Id::Cancel);
    const RECT section = extract.ControlRect(Id::SectionTop);
    for (int id : {Id::NoUpdateCheck, Id::Agreement, Id::SectionLabel1, Id::SectionLabel2, Id::SectionLabel3,
                   Id::SectionTop})
        EXPECT_TRUE(extract.IsVisible(id)) << id;
    extract.PressCancel();
    ASSERT_EQ(ExitCodeOf(*process), UserExit);
    const LONG d = section.top - extractSave.top;
    ASSERT_LT(d, 0) << "the /extract section lies above the buttons";

    const ExtractDialogDriver defaults = OpenOptions(L"/defaults");
    ASSERT_NE(defaults.Window(), nullptr);
    EXPECT_TRUE(SaveScreenshot(ScreenshotFolder(), L"options-defaults", defaults.Window()));
    for (int id : {Id::NoUpdateCheck, Id::Agreement, Id::SectionLabel1, Id::SectionLabel2, Id::SectionLabel3,
                   Id::SectionTop})
        EXPECT_FALSE(defaults.IsVisible(id)) << id;
    for (int id : {Id::DesktopShortcut, Id::InstallDir, Id::Save, Id::Cancel})
        EXPECT_TRUE(defaults.IsVisible(id)) << id;

    // Measured from the dialog's own top edge: where it opens is the window manager's business.
    const RECT dialog = defaults.WindowRect();
    const RECT save = defaults.ControlRect(Id::Save);
    const RECT cancel = defaults.ControlRect(Id::Cancel);
    EXPECT_EQ(save.top - dialog.top, extractSave.top - extractDialog.top + d);
    EXPECT_EQ(save.left - dialog.left, extractSave.left - extractDialog.left);
    EXPECT_EQ(save.bottom - save.top, extractSave.bottom - extractSave.top);
    EXPECT_EQ(cancel.top - dialog.top, extractCancel.top - extractDialog.top + d);
    EXPECT_EQ(cancel.left - dialog.left, extractCancel.left - extractDialog.left);
    EXPECT_EQ(dialog.bottom - dialog.top, extractDialog.bottom - extractDialog.top + d);
    EXPECT_EQ(dialog.right - dialog.left, extractDialog.right - extractDialog.left);
    defaults.PressCancel();
    EXPECT_EQ(ExitCodeOf(*process), UserExit);
}

TEST_F(ExtractionTest, DefaultsWritesOnlyTheShortcutAndTheFolder)
{
    const ExtractDialogDriver options = OpenOptions(L"/defaults");
    ASSERT_NE(options.Window(), nullptr);
    // Ticked behind the user's back: a /defaults run must not read them.
    SendMessageW(GetDlgItem(options.Window(), Id::NoUpdateCheck), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetDlgItem(options.Window(), Id::Agreement), BM_SETCHECK, BST_CHECKED, 0);
    SetChecked(options.Window(), Id::DesktopShortcut, true);
    EXPECT_TRUE(options.WaitForChecked(Id::DesktopShortcut, true));
    const std::wstring folder = L"C:\\Brinmoor Defaults\\";
    options.TypeInstallDir(folder);
    SaveAndFinish(options, Target());

    ASSERT_TRUE(FileExists(Target()));
    EXPECT_EQ(MsiProperties(Target()), PayloadPropertiesWith({{DesktopShortcut, "#1"}, {InstallDir, Utf8(folder)}}));
    ExpectOtherTablesUnchanged(Target());
    EXPECT_EQ(SetupLog(), ModulePathLine(LauncherPath()));
}

TEST_F(ExtractionTest, DefaultsWithAnEmptyFolderKeepsThePackagesFolder)
{
    const ExtractDialogDriver options = OpenOptions(L"/defaults");
    ASSERT_NE(options.Window(), nullptr);
    SetChecked(options.Window(), Id::DesktopShortcut, false);
    EXPECT_TRUE(options.WaitForChecked(Id::DesktopShortcut, false));
    SaveAndFinish(options, Target());

    ASSERT_TRUE(FileExists(Target()));
    EXPECT_EQ(MsiProperties(Target()), PayloadPropertiesWith({{DesktopShortcut, "#0"}}));
}

class AgreementTest : public ExtractionTest {
protected:
    void SetUp() override
    {
        ExtractionTest::SetUp();
        options = OpenOptions(L"/extract");
        ASSERT_NE(options.Window(), nullptr);
    }

    // Clicks the licence-agreement box and waits for the agreement.
    EulaDialogDriver ClickAgreementBox() const
    {
        options.Click(Id::Agreement);
        const EulaDialogDriver eula = EulaDialogDriver::WaitFor(*process);
        EXPECT_NE(eula.Window(), nullptr) << "no agreement appeared";
        return eula;
    }

    // Clicks the box and gives an agreement the time to come: none may.
    void ExpectClickWithoutAgreement(bool tickedAfter) const
    {
        options.Click(Id::Agreement);
        EXPECT_TRUE(options.WaitForChecked(Id::Agreement, tickedAfter));
        EXPECT_EQ(EulaDialogDriver::WaitFor(*process, 3000).Window(), nullptr) << "the agreement was shown again";
    }

    void CancelAndExpectNothingSaved() const
    {
        options.PressCancel();
        EXPECT_EQ(ExitCodeOf(*process), UserExit);
        EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
    }

    ExtractDialogDriver options{nullptr};
};

TEST_F(AgreementTest, AgreementIsShownFormatted)
{
    const EulaDialogDriver eula = ClickAgreementBox();
    ASSERT_NE(eula.Window(), nullptr);
    EXPECT_EQ(GetParent(eula.Window()), options.Window()) << "the agreement is owned by the options dialog";
    EXPECT_EQ(eula.TextClass(), L"RichEdit20W");
    EXPECT_TRUE(SaveScreenshot(ScreenshotFolder(), L"agreement", eula.Window()));
    const std::wstring text = eula.PlainText();
    EXPECT_EQ(text.find(L"\\rtf"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_EQ(text.find(L"{\\"), std::wstring::npos);
    EXPECT_EQ(text.find(L"\\par"), std::wstring::npos);
    EXPECT_NE(text.find(L"Demonstration Licence Agreement"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(L"Please read this agreement carefully."), std::wstring::npos);
    // \ldblquote and \rdblquote come out as the quotation marks they stand for.
    EXPECT_NE(text.find(L"\u201Cas is\u201D"), std::wstring::npos);
    eula.PressDecline();
    EXPECT_TRUE(WaitUntilClosed(eula.Window()));
    CancelAndExpectNothingSaved();
}

TEST_F(AgreementTest, DeclinedAgreementLeavesTheBoxClearAndIsShownAgain)
{
    const EulaDialogDriver declined = ClickAgreementBox();
    ASSERT_NE(declined.Window(), nullptr);
    declined.PressDecline();
    EXPECT_TRUE(WaitUntilClosed(declined.Window()));
    EXPECT_FALSE(options.IsChecked(Id::Agreement));

    const EulaDialogDriver escaped = ClickAgreementBox();
    ASSERT_NE(escaped.Window(), nullptr);
    escaped.PressEscape();
    EXPECT_TRUE(WaitUntilClosed(escaped.Window()));
    EXPECT_FALSE(options.IsChecked(Id::Agreement));

    const EulaDialogDriver closed = ClickAgreementBox();
    ASSERT_NE(closed.Window(), nullptr);
    closed.PressCloseBox();
    EXPECT_TRUE(WaitUntilClosed(closed.Window()));
    EXPECT_FALSE(options.IsChecked(Id::Agreement));

    // Still asked after three refusals, and an acceptance then ticks the box.
    const EulaDialogDriver accepted = ClickAgreementBox();
    ASSERT_NE(accepted.Window(), nullptr);
    accepted.PressAccept();
    EXPECT_TRUE(options.WaitForChecked(Id::Agreement, true));
    CancelAndExpectNothingSaved();
}

TEST_F(AgreementTest, AcceptedAgreementIsNotShownAgain)
{
    const EulaDialogDriver eula = ClickAgreementBox();
    ASSERT_NE(eula.Window(), nullptr);
    eula.PressAccept();
    EXPECT_TRUE(WaitUntilClosed(eula.Window()));
    EXPECT_TRUE(options.WaitForChecked(Id::Agreement, true));

    ExpectClickWithoutAgreement(false);
    ExpectClickWithoutAgreement(true);
    ExpectClickWithoutAgreement(false);
    ExpectClickWithoutAgreement(true);
    SaveAndFinish(options, Target());
    EXPECT_EQ(MsiProperties(Target())[NoEula], "#1");
}

TEST_F(AgreementTest, ClickWhileTheAgreementIsOpenReachesTheUserAsAnError)
{
    const EulaDialogDriver eula = ClickAgreementBox();
    ASSERT_NE(eula.Window(), nullptr);
    // The options dialog is disabled while the agreement is open, but its
    // handler still runs for a command that reaches it: it would show a
    // second agreement.
    HWND box = GetDlgItem(options.Window(), Id::Agreement);
    PostMessageW(options.Window(), WM_COMMAND, MAKEWPARAM(Id::Agreement, BN_CLICKED), reinterpret_cast<LPARAM>(box));
    MessageBoxView error = ReadMessageBox(process->WaitForDialog(IsMessageBox, 10000));
    if (!error.window && IsWindow(eula.Window())) {
        // The error waits for the nested loop of the agreement to end.
        eula.PressDecline();
        error = WaitForMessageBox(*process);
    }
    ASSERT_NE(error.window, nullptr) << "no error box appeared";
    EXPECT_EQ(error.caption, L"Brinmoor Setup");
    EXPECT_EQ(error.text, L"Exception: Dialog: Reentrance not allowed");
    EXPECT_EQ(error.icon, IconStyle::Error);
    AnswerMessageBox(error, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
    EXPECT_EQ(SetupLog(), "");
}

enum class Dismissal { CancelButton, EscapeKey, CloseBox };

class DismissedOptionsTest : public ExtractionTest, public testing::WithParamInterface<Dismissal> {};

TEST_P(DismissedOptionsTest, EndsWithoutAFileAndWithAnEmptyLog)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    options.TypeInstallDir(L"C:\\Never Used\\");
    switch (GetParam()) {
    case Dismissal::CancelButton:
        options.PressCancel();
        break;
    case Dismissal::EscapeKey:
        options.PressEscape();
        break;
    case Dismissal::CloseBox:
        options.PressCloseBox();
        break;
    }
    EXPECT_EQ(ExitCodeOf(*process), UserExit);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
    EXPECT_EQ(ListFolder(temp.Path()), (std::vector<std::wstring>{L"BrinmoorSetup\\", L"saved packages\\"}));
    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ListFolder(runFolder), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(SetupLog(), "");
}

const char* NameOf(Dismissal dismissal)
{
    const char* const names[] = {"CancelButton", "EscapeKey", "CloseBox"};
    return names[static_cast<int>(dismissal)];
}

void PrintTo(Dismissal dismissal, std::ostream* out)
{
    *out << NameOf(dismissal);
}

std::string DismissalName(const testing::TestParamInfo<Dismissal>& info)
{
    return NameOf(info.param);
}

INSTANTIATE_TEST_SUITE_P(Ways, DismissedOptionsTest,
                         testing::Values(Dismissal::CancelButton, Dismissal::EscapeKey, Dismissal::CloseBox),
                         DismissalName);

TEST_F(ExtractionTest, CancelledSaveAsKeepsTheOptionsAndOffersTheNameAgain)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    SetChecked(options.Window(), Id::DesktopShortcut, true);
    EXPECT_TRUE(options.WaitForChecked(Id::DesktopShortcut, true));
    options.TypeInstallDir(L"C:\\Kept\\");

    for (int attempt = 0; attempt < 2; ++attempt) {
        const SaveAsDriver saveAs = OpenSaveAs(options);
        ASSERT_NE(saveAs.Window(), nullptr);
        EXPECT_EQ(saveAs.FileName(), L"Brinmoor.msi") << "attempt " << attempt;
        saveAs.PressCancel();
        EXPECT_TRUE(WaitUntilClosed(saveAs.Window()));
        EXPECT_TRUE(IsWindowVisible(options.Window())) << "the options dialog closed";
        EXPECT_TRUE(options.IsChecked(Id::DesktopShortcut));
        EXPECT_EQ(options.InstallDirText(), L"C:\\Kept\\");
    }
    options.PressCancel();
    EXPECT_EQ(ExitCodeOf(*process), UserExit);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
}

TEST_F(ExtractionTest, EnterTakesTheSavePath)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    options.PressEnter();
    const SaveAsDriver saveAs = SaveAsDriver::WaitFor(*process, 30000);
    ASSERT_NE(saveAs.Window(), nullptr) << "Enter did not open the Save As dialog";
    EXPECT_EQ(saveAs.FileName(), L"Brinmoor.msi");
    saveAs.PressCancel();
    EXPECT_TRUE(WaitUntilClosed(saveAs.Window()));
    options.PressCancel();
    EXPECT_EQ(ExitCodeOf(*process), UserExit);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
}

TEST_F(ExtractionTest, NameWithoutExtensionAndLongFolderAreTakenAsTheyAre)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    std::wstring folder = L"C:\\";
    for (int i = 0; folder.size() < 300; ++i)
        folder += L"folder" + std::to_wstring(i) + L"\\";
    folder.resize(300);
    options.TypeInstallDir(folder);
    SaveAndFinish(options, Target(L"Brinmoor package"));

    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{L"Brinmoor package"});
    EXPECT_EQ(MsiProperties(Target(L"Brinmoor package"))[InstallDir], Utf8(folder.substr(0, 259)));
}

TEST_F(ExtractionTest, ExistingTargetIsReplacedOnlyAfterYes)
{
    const std::string old = "an older package";
    temp.WriteFile(L"saved packages\\Brinmoor Custom.msi", old);
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);

    SaveAs(options, Target());
    const MessageBoxView refused = SaveAsDriver::WaitForOverwritePrompt(*process);
    ASSERT_NE(refused.window, nullptr) << "no overwrite question";
    EXPECT_EQ(refused.buttons, (std::vector<int>{IDYES, IDNO}));
    AnswerMessageBox(refused, IDNO);
    EXPECT_TRUE(WaitUntilClosed(refused.window));
    const SaveAsDriver stillOpen = SaveAsDriver::WaitFor(*process, 10000);
    ASSERT_NE(stillOpen.Window(), nullptr);
    stillOpen.PressCancel();
    EXPECT_TRUE(WaitUntilClosed(stillOpen.Window()));
    EXPECT_EQ(ReadWholeFile(Target()), old);

    SaveAs(options, Target());
    const MessageBoxView confirmed = SaveAsDriver::WaitForOverwritePrompt(*process);
    ASSERT_NE(confirmed.window, nullptr) << "no overwrite question";
    AnswerMessageBox(confirmed, IDYES);
    FinishQuietly();
    EXPECT_EQ(MsiProperties(Target()).count(DesktopShortcut), 1u);
    ExpectOtherTablesUnchanged(Target());
}

TEST_F(ExtractionTest, TargetThatIsNotAnInstallerDatabaseIsReportedAndRemoved)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract", LauncherPath(L"not-a-database"));
    ASSERT_NE(options.Window(), nullptr);
    SaveAs(options, Target());
    const MessageBoxView box = ExpectErrorBox(L"Exception: MsiOpenDatabase failed");
    EXPECT_FALSE(FileExists(Target()));
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
    EXPECT_EQ(SetupLog(), ModulePathLine(LauncherPath(L"not-a-database")));
}

TEST_F(ExtractionTest, PackageWithoutPropertyTableIsReportedAndRemoved)
{
    const ExtractDialogDriver options = OpenOptions(L"/extract", LauncherPath(L"no-property-table"));
    ASSERT_NE(options.Window(), nullptr);
    SaveAs(options, Target());
    const MessageBoxView box = ExpectErrorBox(L"Exception: MsiDatabaseOpenView failed");
    EXPECT_FALSE(FileExists(Target()));
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
}

// A dialog that cannot be created must not pass for a Cancel: that would end
// the run with nothing shown and nothing saved.
TEST_F(ExtractionTest, DialogThatCannotBeCreatedIsReportedAsAFailure)
{
    process = Start(L"/extract", LauncherPath(L"without-dialogs"));
    const MessageBoxView box = ExpectErrorBox(L"Exception: DialogBoxParam failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ListFolder(TargetFolder()), std::vector<std::wstring>{});
}

TEST_F(ExtractionTest, TargetThatCannotBeCreatedIsAnImageError)
{
    // Not even root may create a file in /proc.
    const std::wstring target = L"Z:\\proc\\Brinmoor.msi";
    const ExtractDialogDriver options = OpenOptions(L"/extract");
    ASSERT_NE(options.Window(), nullptr);
    SaveAs(options, target);
    const MessageBoxView box = ExpectErrorBox(L"Exception: Image loading failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_FALSE(FileExists(target));
    const std::string log = SetupLog();
    const std::string failure = "ExeImage: CreateFile failed Error: ";
    ASSERT_EQ(log.rfind(ModulePathLine(LauncherPath()) + failure, 0), 0u) << log;
    const std::string code = log.substr(ModulePathLine(LauncherPath()).size() + failure.size());
    EXPECT_FALSE(code.empty());
    EXPECT_EQ(code.find_first_not_of("0123456789"), code.size() - 1) << log;
    EXPECT_EQ(code.back(), '\n');
}

// The launcher opens the file manager through the shell, which under Wine
// takes the system's explorer.exe whatever lies beside the launcher: the
// test watches for a new explorer process and ends it again, since it would
// otherwise keep CTest's output pipe open.
class ClosingDialogTest : public ExtractionTest {
protected:
    void SetUp() override
    {
        ExtractionTest::SetUp();
        explorersBefore = ProcessIdsNamed(L"explorer.exe");
    }

    void TearDown() override
    {
        for (DWORD id : NewExplorers())
            EndProcess(id);
    }

    std::vector<DWORD> NewExplorers() const
    {
        std::vector<DWORD> started;
        for (DWORD id : ProcessIdsNamed(L"explorer.exe")) {
            if (std::find(explorersBefore.begin(), explorersBefore.end(), id) == explorersBefore.end())
                started.push_back(id);
        }
        return started;
    }

    // The first file manager started after the test began; 0 when none came.
    DWORD WaitForNewExplorer(DWORD timeoutMs) const
    {
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        do {
            const std::vector<DWORD> started = NewExplorers();
            if (!started.empty())
                return started.front();
            Sleep(100);
        } while (GetTickCount64() < end);
        return 0;
    }

    HWND WaitForExplorerWindow(DWORD processId, DWORD timeoutMs) const
    {
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        do {
            for (HWND window : WindowsOf(processId, L"ExplorerWClass")) {
                if (IsWindowVisible(window))
                    return window;
            }
            Sleep(100);
        } while (GetTickCount64() < end);
        return nullptr;
    }

    ResultDialogDriver SaveAndWaitForResult()
    {
        const ExtractDialogDriver options = OpenOptions(L"/extract");
        if (!options.Window())
            return ResultDialogDriver(nullptr);
        SaveAs(options, Target());
        return WaitForResult();
    }

    std::vector<DWORD> explorersBefore;
};

// The file manager is started by its full path: a program planted under its
// name in the folder chosen for the package is never started. Wine's shell
// would find the system's explorer.exe for a bare name too, so only the
// path check can fail under Wine.
TEST_F(ClosingDialogTest, OkWithTheBoxTickedShowsThePackageInTheFileManager)
{
    ASSERT_TRUE(CopyFileW(BRINMOOR_BUILD_DIR L"\\tests\\path\\OptionalFeatures.exe",
                          (TargetFolder() + L"explorer.exe").c_str(), FALSE));
    const ResultDialogDriver result = SaveAndWaitForResult();
    ASSERT_NE(result.Window(), nullptr);
    EXPECT_EQ(result.Caption(), L"Brinmoor Tessolan Setup");
    EXPECT_TRUE(result.IsOpenFolderChecked());
    EXPECT_TRUE(SaveScreenshot(ScreenshotFolder(), L"closing", result.Window()));
    result.PressOk();
    EXPECT_EQ(ExitCodeOf(*process), 0u);
    EXPECT_TRUE(FileExists(Target()));

    const DWORD explorer = WaitForNewExplorer(60000);
    ASSERT_NE(explorer, 0u) << "no file manager was started";
    // The file manager is the system's 64-bit one, whose command line this
    // 32-bit process cannot read; Wine hands it to the Unix process as its
    // arguments, split as Windows splits them. The first is the program as
    // the launcher named it, the second the whole path with its blanks.
    const UnixCommandResult commandLines =
        RunUnixCommand("for f in /proc/[0-9]*/cmdline; do tr '\\0' '\\t' <\"$f\"; echo; done 2>/dev/null");
    ASSERT_TRUE(commandLines.finished);
    wchar_t windows[MAX_PATH] = {};
    const std::wstring folder(windows, GetSystemWindowsDirectoryW(windows, MAX_PATH));
    const std::string expected = Utf8(folder + L"\\explorer.exe\t/select," + Target() + L"\t");
    EXPECT_NE(commandLines.output.find(expected), std::string::npos) << commandLines.output;
    EXPECT_FALSE(FileExists(temp.Path() + L"optionalfeatures-started.txt")) << "the planted program was started";
    // The folder opens with the package's folder name as its caption, set once the folder is read.
    const HWND window = WaitForExplorerWindow(explorer, 60000);
    ASSERT_NE(window, nullptr) << "the file manager opened no window";
    std::wstring caption;
    for (int i = 0; i < 300 && (caption = TextOf(window)).empty(); ++i)
        Sleep(100);
    EXPECT_EQ(caption, L"saved packages");
}

TEST_F(ClosingDialogTest, OkWithTheBoxClearOpensNothing)
{
    const ResultDialogDriver result = SaveAndWaitForResult();
    ASSERT_NE(result.Window(), nullptr);
    result.SetOpenFolder(false);
    EXPECT_FALSE(result.IsOpenFolderChecked());
    result.PressOk();
    EXPECT_EQ(ExitCodeOf(*process), 0u);
    EXPECT_EQ(WaitForNewExplorer(5000), 0u) << "a file manager was started";
    EXPECT_TRUE(FileExists(Target()));
}

TEST_F(ClosingDialogTest, CloseBoxOpensNothingAndKeepsThePackage)
{
    const ResultDialogDriver result = SaveAndWaitForResult();
    ASSERT_NE(result.Window(), nullptr);
    EXPECT_TRUE(result.IsOpenFolderChecked());
    result.PressCloseBox();
    EXPECT_EQ(ExitCodeOf(*process), 0u);
    EXPECT_EQ(WaitForNewExplorer(5000), 0u) << "a file manager was started";
    EXPECT_TRUE(FileExists(Target()));
    EXPECT_EQ(MsiProperties(Target()).count(DesktopShortcut), 1u);
}

}  // namespace
