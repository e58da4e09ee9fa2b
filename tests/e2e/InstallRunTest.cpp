#include <windows.h>
#include <shlobj.h>
#include <aclapi.h>
#include <sddl.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "tests/e2e/LauncherTest.h"
#include "tests/support/Fnv.h"
#include "tests/support/ScopedRegistry.h"
#include "tests/support/UnixCommand.h"

namespace {

const wchar_t DotNetKey[] = L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v3.5";
const wchar_t AppDefaults[] = L"Software\\Wine\\AppDefaults\\BrinmoorSetup.exe";
const wchar_t DotNetQuestion[] =
    L"Failed to start Setup. It looks like Microsoft .NET 3.5 has been turned off on this computer.\n"
    L"Open the Windows Features app to turn it back on?";

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The trustees of a folder's access list other than SYSTEM ("SY"), the
// Administrators ("BA") and the user ("OW": the folder's owner), as Windows
// reports them in the security descriptor language.
std::vector<std::wstring> StrangersAllowedInto(const std::wstring& folder)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    wchar_t* text = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION,
                              nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                              DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION,
                                                              &text, nullptr))
        return {L"(no access list could be read)"};
    const std::wstring sddl = text;
    LocalFree(text);
    LocalFree(descriptor);
    const std::wstring owner = sddl.substr(2, sddl.find(L"D:") - 2);
    std::vector<std::wstring> strangers;
    for (size_t end = sddl.find(L')'); end != std::wstring::npos; end = sddl.find(L')', end + 1)) {
        const size_t start = sddl.rfind(L';', end) + 1;
        const std::wstring trustee = sddl.substr(start, end - start);
        if (trustee != L"SY" && trustee != L"BA" && trustee != L"OW" && trustee != owner)
            strangers.push_back(sddl);
    }
    return strangers;
}

std::map<std::wstring, std::wstring> ReadRecord(const std::wstring& path)
{
    std::map<std::wstring, std::wstring> record;
    std::wifstream file(path.c_str(), std::ios::binary);
    std::wstring line;
    while (std::getline(file, line)) {
        const auto split = line.find(L'=');
        if (split != std::wstring::npos)
            record[line.substr(0, split)] = line.substr(split + 1);
    }
    return record;
}

class InstallRunTest : public LauncherTest {
protected:
    // Waits for an error box with a single OK button and checks what it says.
    static MessageBoxView ExpectErrorBox(const DrivenProcess& process, const wchar_t* caption, const wchar_t* text)
    {
        const MessageBoxView box = WaitForMessageBox(process);
        EXPECT_NE(box.window, nullptr) << "no message box appeared";
        EXPECT_EQ(box.caption, caption);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, IconStyle::Error);
        EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
        return box;
    }

    std::wstring Recording() const { return LauncherPath(L"recording"); }
    std::wstring RecordPath() const { return temp.Path() + L"frontend-record.txt"; }
    void SetFrontEndExitCode(const char* code) const { temp.WriteFile(L"frontend-exit-code.txt", code); }

    // Runs a launcher that needs no answer and gives its exit code.
    DWORD RunUnattended(const std::wstring& launcher)
    {
        auto process = Start(L"", launcher);
        return ExitCodeOf(*process);
    }

    // The front end was started with "/log=true" in the run folder and found
    // every payload item beside it, byte for byte.
    void ExpectFrontEndSawEveryItem(const std::wstring& runFolder) const
    {
        auto record = ReadRecord(RecordPath());
        EXPECT_EQ(record[L"arguments"], L"/log=true");
        EXPECT_EQ(record[L"folder"], runFolder);
        const std::wstring payload = BRINMOOR_BUILD_DIR L"\\tests\\payloads\\recording\\";
        const wchar_t* items[] = {L"Brinmoor.msi", L"DotNet.exe", L"SetupUI.exe", L"SetupUI.exe.config",
                                  L"de\\SetupUI.resources.dll", L"en-US\\SetupUI.resources.dll",
                                  L"es\\SetupUI.resources.dll", L"fr\\SetupUI.resources.dll",
                                  L"it\\SetupUI.resources.dll", L"ja\\SetupUI.resources.dll",
                                  L"pt-BR\\SetupUI.resources.dll", L"ru\\SetupUI.resources.dll",
                                  L"zh-Hans\\SetupUI.resources.dll"};
        for (const wchar_t* item : items) {
            EXPECT_NE(record[item], L"missing") << testing::PrintToString(std::wstring(item));
            EXPECT_EQ(record[item], FileDigest(payload + item)) << testing::PrintToString(std::wstring(item));
        }
    }

    std::wstring OnlyRunFolder() const
    {
        const std::vector<std::wstring> folders = RunFolders();
        EXPECT_EQ(folders.size(), 1u);
        return folders.empty() ? std::wstring() : folders.front();
    }

    std::string ExpectedLog(const std::wstring& launcher, const std::wstring& runFolder, int exitCode) const
    {
        return "ExeImage: module path is " + Utf8(launcher) + "\n" +
               "Trying to start process: " + Utf8(runFolder) + "SetupUI.exe /log=true\n" +
               "  Succeeded: 1\n"
               "Waiting for process to finish...\n"
               "  Exit code: " + std::to_string(exitCode) + "\n";
    }
};

TEST_F(InstallRunTest, StagesEveryItemStartsTheFrontEndAndCleansUp)
{
    ASSERT_EQ(RunUnattended(Recording()), 0u);

    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ListFolder(runFolder), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"), ExpectedLog(Recording(), runFolder, 0));

    ExpectFrontEndSawEveryItem(runFolder);
}

TEST_F(InstallRunTest, EachRunGetsItsOwnFolderAndLog)
{
    ASSERT_EQ(RunUnattended(Recording()), 0u);
    ASSERT_EQ(RunUnattended(Recording()), 0u);
    {
        auto first = Start(L"", Recording());
        auto second = Start(L"", Recording());
        EXPECT_EQ(ExitCodeOf(*first), 0u);
        EXPECT_EQ(ExitCodeOf(*second), 0u);
    }
    const std::vector<std::wstring> folders = RunFolders();
    ASSERT_EQ(folders.size(), 4u);
    for (const std::wstring& folder : folders) {
        // A random (version 4) UUID: nothing in it tells the time or the network card.
        const std::wstring name = folder.substr(folder.size() - 37, 36);
        EXPECT_EQ(name[14], L'4') << testing::PrintToString(name);
        EXPECT_EQ(ListFolder(folder), std::vector<std::wstring>{L"Setup.log"});
        EXPECT_EQ(ReadWholeFile(folder + L"Setup.log"), ExpectedLog(Recording(), folder, 0));
    }
}

TEST_F(InstallRunTest, NonAsciiTempFolderIsLoggedAsUtf8)
{
    const std::wstring userTemp = temp.Path() + L"Us\u00e9r \u65e5\u672c\\";
    ASSERT_TRUE(CreateDirectoryW(userTemp.c_str(), nullptr));
    auto process = StartWithTemp(L"", Recording(), userTemp);
    EXPECT_EQ(ExitCodeOf(*process), 0u);

    const std::wstring root = userTemp + L"BrinmoorSetup\\";
    const std::vector<std::wstring> folders = ListFolder(root);
    ASSERT_EQ(folders.size(), 1u);
    const std::wstring runFolder = root + folders[0];
    const std::string log = ReadWholeFile(runFolder + L"Setup.log");
    EXPECT_EQ(log, ExpectedLog(Recording(), runFolder, 0));
    EXPECT_NE(log.find("Us\xC3\xA9r \xE6\x97\xA5\xE6\x9C\xAC\\BrinmoorSetup\\"), std::string::npos);
}

TEST_F(InstallRunTest, FailedFrontEndWithDotNetPresentShowsNothing)
{
    ScopedRegistryKey dotNet(HKEY_LOCAL_MACHINE, DotNetKey, true);
    SetFrontEndExitCode("1");
    // Ending unattended is the proof that no box was shown: one would wait for an answer.
    auto process = Start(L"", Recording());
    EXPECT_EQ(ExitCodeOf(*process), 1u) << "the front end's own exit code";
    EXPECT_EQ(ReadWholeFile(OnlyRunFolder() + L"Setup.log"), ExpectedLog(Recording(), OnlyRunFolder(), 1));
}

// Runs a copy of the launcher from a Downloads folder that also holds a
// program named like the Windows Features app; the stand-in for the real app
// lies where Windows keeps it, in the 64-bit system folder, which a 32-bit
// program reaches only with redirection off. Wine's shell finds the system's
// copy of a bare name whatever lies in the launcher's folder, so under Wine
// only the full path's check can fail.
class DotNetQuestionTest : public InstallRunTest {
protected:
    void SetUp() override
    {
        const std::wstring stub = BRINMOOR_BUILD_DIR L"\\tests\\path\\OptionalFeatures.exe";
        downloads = temp.Path() + L"Downloads\\";
        ASSERT_TRUE(CreateDirectoryW(downloads.c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(Recording().c_str(), (downloads + L"BrinmoorSetup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(stub.c_str(), (downloads + L"OptionalFeatures.exe").c_str(), FALSE));
        WithoutRedirection([&] { ASSERT_TRUE(CopyFileW(stub.c_str(), SystemApp().c_str(), FALSE)); });
    }

    void TearDown() override
    {
        WithoutRedirection([&] { DeleteFileW(SystemApp().c_str()); });
    }

    static void WithoutRedirection(const std::function<void()>& action)
    {
        PVOID previous = nullptr;
        Wow64DisableWow64FsRedirection(&previous);
        action();
        Wow64RevertWow64FsRedirection(previous);
    }

    static std::wstring SystemApp()
    {
        wchar_t folder[MAX_PATH] = {};
        return std::wstring(folder, GetSystemDirectoryW(folder, MAX_PATH)) + L"\\OptionalFeatures.exe";
    }

    // Runs a failing front end without the .NET 3.5 key and checks the question.
    MessageBoxView StartAndWaitForQuestion()
    {
        SetFrontEndExitCode("1");
        process = Start(L"", downloads + L"BrinmoorSetup.exe");
        const MessageBoxView box = WaitForMessageBox(*process);
        EXPECT_NE(box.window, nullptr) << "no question appeared";
        EXPECT_EQ(box.caption, L"Brinmoor Tessolan Setup");
        EXPECT_EQ(box.text, DotNetQuestion);
        EXPECT_EQ(box.icon, IconStyle::Error);
        EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
        return box;
    }

    bool WindowsFeaturesStarted() const { return temp.Exists(L"optionalfeatures-started.txt"); }

    // The full path of the program that was started, as it wrote it itself.
    std::wstring StartedProgram() const
    {
        const std::string bytes = temp.ReadFile(L"optionalfeatures-started.txt");
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    }

    ScopedRegistryKey dotNet{HKEY_LOCAL_MACHINE, DotNetKey, false};
    std::unique_ptr<DrivenProcess> process;
    std::wstring downloads;
};

TEST_F(DotNetQuestionTest, CancelOpensNothing)
{
    const MessageBoxView box = StartAndWaitForQuestion();
    // The payload stays in place while the question is open.
    EXPECT_NE(GetFileAttributesW((OnlyRunFolder() + L"SetupUI.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    AnswerMessageBox(box, IDCANCEL);
    EXPECT_EQ(ExitCodeOf(*process), 1u);
    Sleep(500);
    EXPECT_FALSE(WindowsFeaturesStarted());
    EXPECT_EQ(ListFolder(OnlyRunFolder()), std::vector<std::wstring>{L"Setup.log"});
}

TEST_F(DotNetQuestionTest, OkOpensTheSystemsWindowsFeaturesWithoutWaitingForIt)
{
    // The stand-in for the Windows Features app stays open while this file exists.
    temp.WriteFile(L"optionalfeatures-hold.txt", "");
    const MessageBoxView box = StartAndWaitForQuestion();

    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), 1u);
    EXPECT_EQ(ListFolder(OnlyRunFolder()), std::vector<std::wstring>{L"Setup.log"});
    for (int i = 0; i < 900 && !WindowsFeaturesStarted(); ++i)
        Sleep(100);
    ASSERT_TRUE(WindowsFeaturesStarted()) << "OptionalFeatures.exe was not started";
    Sleep(200);
    EXPECT_EQ(Lower(StartedProgram()), Lower(SystemApp()));
    EXPECT_FALSE(temp.Exists(L"optionalfeatures-ended.txt")) << "the launcher waited for the app";
    DeleteFileW((temp.Path() + L"optionalfeatures-hold.txt").c_str());
    for (int i = 0; i < 900 && !temp.Exists(L"optionalfeatures-ended.txt"); ++i)
        Sleep(100);
    EXPECT_TRUE(temp.Exists(L"optionalfeatures-ended.txt"));
}

// With no Windows Features app in the system folder, the shell would take a
// bare name from beside the launcher: only the full path keeps it out.
TEST_F(DotNetQuestionTest, OkNeverStartsAProgramPlantedBesideTheLauncher)
{
    WithoutRedirection([&] { ASSERT_TRUE(DeleteFileW(SystemApp().c_str())); });
    const MessageBoxView box = StartAndWaitForQuestion();
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), 1u);
    for (int i = 0; i < 80 && !WindowsFeaturesStarted(); ++i)
        Sleep(100);
    EXPECT_FALSE(WindowsFeaturesStarted()) << testing::PrintToString(StartedProgram());
}

TEST_F(InstallRunTest, CrashedFrontEndExitCodeIsLoggedSigned)
{
    ScopedRegistryKey dotNet(HKEY_LOCAL_MACHINE, DotNetKey, true);
    SetFrontEndExitCode("0xC0000005");
    EXPECT_EQ(RunUnattended(Recording()), 0xC0000005u);
    EXPECT_EQ(ReadWholeFile(OnlyRunFolder() + L"Setup.log"), ExpectedLog(Recording(), OnlyRunFolder(), -1073741819));
}

TEST_F(InstallRunTest, FrontEndThatIsNotAProgramIsReported)
{
    ScopedRegistryKey dotNet(HKEY_LOCAL_MACHINE, DotNetKey, false);
    const std::wstring launcher = LauncherPath(L"invalid");
    auto process = Start(L"", launcher);
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Tessolan Setup",
                                              L"Failed to start Setup. Please contact Technical Support.");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);

    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ListFolder(runFolder), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"),
              "ExeImage: module path is " + Utf8(launcher) + "\n" + "Trying to start process: " + Utf8(runFolder) +
                  "SetupUI.exe /log=true\n" + "  Succeeded: 0\n");
}

struct VersionCase {
    const char* name;
    const wchar_t* wineVersion;  // null: the prefix's default, Windows 7 SP1
    DWORD servicePack;           // CSDVersion, 0x100 is SP1
    bool supported;
};

class WindowsVersionTest : public InstallRunTest, public testing::WithParamInterface<VersionCase> {};

TEST_P(WindowsVersionTest, RefusesSystemsOlderThanWindows7Sp1)
{
    const VersionCase& version = GetParam();
    ScopedRegistryValue appVersion(HKEY_CURRENT_USER, AppDefaults, L"Version", version.wineVersion);
    ScopedRegistryValue servicePack(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Windows",
                                    L"CSDVersion", version.servicePack);
    auto process = Start(L"", Recording());
    if (version.supported) {
        EXPECT_EQ(ExitCodeOf(*process), 0u);
        EXPECT_EQ(ReadRecord(RecordPath())[L"arguments"], L"/log=true");
        return;
    }
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Tessolan Setup",
                                              L"This product can only be installed on Windows 7 Service Pack 1 or higher");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), 1u);
    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ListFolder(runFolder), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"), "");
}

INSTANTIATE_TEST_SUITE_P(Versions, WindowsVersionTest,
                         testing::Values(VersionCase{"Windows7", nullptr, 0, false},
                                         VersionCase{"VistaSp2", L"vista", 0x200, false},
                                         VersionCase{"Windows7Sp1", nullptr, 0x100, true},
                                         VersionCase{"Windows8", L"win8", 0, true},
                                         VersionCase{"Windows10", L"win10", 0, true}),
                         [](const testing::TestParamInfo<VersionCase>& info) { return info.param.name; });

TEST_F(InstallRunTest, MissingPayloadItemIsReportedAndEarlierItemsRemoved)
{
    auto process = Start(L"", LauncherPath(L"without-133"));
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Setup", L"Exception: ResourceDir::GetChildWithId");
    // Released before the box is shown.
    EXPECT_EQ(ListFolder(OnlyRunFolder()), std::vector<std::wstring>{L"Setup.log"});
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_FALSE(temp.Exists(L"frontend-record.txt"));
}

TEST_F(InstallRunTest, UnwritableTempFolderIsReported)
{
    auto process = StartWithTemp(L"", Recording(), temp.Path() + L"missing\\");
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Setup", L"Exception: CreateDirectory failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_FALSE(temp.Exists(L"missing"));
}

class LauncherPathLengthTest : public InstallRunTest {
protected:
    // A copy of the recording launcher whose full path is `length` characters long.
    std::wstring CopyLauncherWithPathLength(size_t length) const
    {
        const std::wstring name = L"\\BrinmoorSetup.exe";
        const std::wstring folder = temp.Path() + std::wstring(length - temp.Path().size() - name.size(), L'x');
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring copy = folder + name;
        EXPECT_TRUE(CopyFileW(Recording().c_str(), copy.c_str(), FALSE));
        EXPECT_EQ(copy.size(), length);
        return copy;
    }
};

TEST_F(LauncherPathLengthTest, PathOf259CharactersOpens)
{
    const std::wstring launcher = CopyLauncherWithPathLength(259);
    EXPECT_EQ(RunUnattended(launcher), 0u);
    EXPECT_EQ(ReadWholeFile(OnlyRunFolder() + L"Setup.log"), ExpectedLog(launcher, OnlyRunFolder(), 0));
}

TEST_F(LauncherPathLengthTest, PathFillingTheBufferIsAnImageError)
{
    // CreateProcess refuses a full path this long, so the copy is started by its bare name.
    const std::wstring launcher = CopyLauncherWithPathLength(260);
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(launcher.substr(0, launcher.rfind(L'\\')).c_str());
    auto process = Start(L"", L"BrinmoorSetup.exe");
    SetCurrentDirectoryW(saved);
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Setup", L"Exception: Image loading failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ReadWholeFile(OnlyRunFolder() + L"Setup.log"), "ExeImage: GetModuleFileName failed Error: 122\n");
    EXPECT_FALSE(temp.Exists(L"frontend-record.txt"));
}

class HeldFileTest : public InstallRunTest {
protected:
    // Starts the launcher and, while its front end waits, opens a staged
    // satellite without delete sharing; then lets the front end end.
    std::unique_ptr<DrivenProcess> StartHoldingSatellite(FileHandle& held)
    {
        temp.WriteFile(L"frontend-hold.txt", "");
        auto process = Start(L"", Recording());
        for (int i = 0; i < 900 && !temp.Exists(L"frontend-record.txt"); ++i)
            Sleep(100);
        runFolder = OnlyRunFolder();
        const std::wstring satellite = runFolder + L"de\\SetupUI.resources.dll";
        held.reset(CreateFileW(satellite.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        DeleteFileW((temp.Path() + L"frontend-hold.txt").c_str());
        return process;
    }

    std::wstring runFolder;
};

TEST_F(HeldFileTest, FileReleasedWithinTheRetryIsDeleted)
{
    FileHandle held;
    auto process = StartHoldingSatellite(held);
    ASSERT_TRUE(held.valid());
    DWORD exitCode = 0;
    EXPECT_FALSE(process->WaitForExit(1000, exitCode)) << "the launcher did not wait for the held file";
    held.reset();
    EXPECT_EQ(ExitCodeOf(*process), 0u);
    EXPECT_EQ(ListFolder(runFolder), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"), ExpectedLog(Recording(), runFolder, 0));
}

TEST_F(HeldFileTest, FileHeldThroughTheCleanUpStays)
{
    FileHandle held;
    auto process = StartHoldingSatellite(held);
    ASSERT_TRUE(held.valid());
    EXPECT_EQ(ExitCodeOf(*process), 0u);
    held.reset();

    EXPECT_EQ(ListFolder(runFolder), (std::vector<std::wstring>{L"Setup.log", L"de\\"}));
    EXPECT_EQ(ListFolder(runFolder + L"de\\"), std::vector<std::wstring>{L"SetupUI.resources.dll"});
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"),
              ExpectedLog(Recording(), runFolder, 0) + "RemoveDirectory failed: " + Utf8(runFolder) + "de\n");
}

TEST_F(InstallRunTest, FullDiskStopsBeforeTheFrontEndAndLeavesNoPartialItem)
{
    const std::wstring disk = BRINMOOR_BUILD_DIR L"\\tests\\fulldisk\\";
    if (GetFileAttributesW((disk + L"mounted").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no small disk could be mounted on this machine";
    const std::wstring diskTemp = disk + L"temp\\";

    auto process = StartWithTemp(L"", LauncherPath(L"big"), diskTemp);
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Setup", L"Exception: WriteFile failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);

    std::vector<std::wstring> runFolders;
    for (const std::wstring& name : ListFolder(diskTemp + L"BrinmoorSetup\\"))
        runFolders.push_back(diskTemp + L"BrinmoorSetup\\" + name);
    ASSERT_EQ(runFolders.size(), 1u);
    EXPECT_EQ(ListFolder(runFolders[0]), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_NE(ReadWholeFile(runFolders[0] + L"Setup.log").find("ExeImage: WriteFile failed Error: 112\n"),
              std::string::npos);
    EXPECT_EQ(GetFileAttributesW((diskTemp + L"frontend-record.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Names and folders that the ANSI code page cannot spell, as Explorer and
// users make them: each launcher opens its own file and stages every item.
struct NamedLauncher {
    const char* name;
    const wchar_t* relativePath;
};

class LauncherNameTest : public InstallRunTest, public testing::WithParamInterface<NamedLauncher> {};

TEST_P(LauncherNameTest, OpensItsOwnFileAndStagesEveryItem)
{
    const std::wstring launcher = temp.Path() + GetParam().relativePath;
    const std::wstring folder = launcher.substr(0, launcher.rfind(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(Recording().c_str(), launcher.c_str(), FALSE));
    ASSERT_EQ(RunUnattended(launcher), 0u);
    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"), ExpectedLog(launcher, runFolder, 0));
    ExpectFrontEndSawEveryItem(runFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LauncherNameTest,
    testing::Values(NamedLauncher{"CyrillicCopy", L"BrinmoorSetup - \u043a\u043e\u043f\u0438\u044f.exe"},
                    NamedLauncher{"Japanese", L"\u30bb\u30c3\u30c8\u30a2\u30c3\u30d7.exe"},
                    NamedLauncher{"AccentedLetter", L"Setup-\u00e9.exe"},
                    NamedLauncher{"FolderOutsideTheCodePage", L"J\u00fcrgen \u03a9mega\\BrinmoorSetup.exe"}),
    [](const testing::TestParamInfo<NamedLauncher>& info) { return info.param.name; });

// A TEMP that does not fit the buffer must not turn into a relative path:
// nothing may appear beside the launcher or in the current folder.
TEST_F(InstallRunTest, TempFolderTooLongIsRefusedBeforeAnythingIsCreated)
{
    const std::wstring downloads = temp.Path() + L"Downloads\\";
    ASSERT_TRUE(CreateDirectoryW(downloads.c_str(), nullptr));
    const std::wstring launcher = downloads + L"BrinmoorSetup.exe";
    ASSERT_TRUE(CopyFileW(Recording().c_str(), launcher.c_str(), FALSE));
    const std::wstring current = temp.Path() + L"current\\";
    ASSERT_TRUE(CreateDirectoryW(current.c_str(), nullptr));
    const std::wstring longTemp = temp.Path() + std::wstring(330 - temp.Path().size(), L't') + L"\\";

    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.c_str());
    auto process = StartWithTemp(L"", launcher, longTemp);
    SetCurrentDirectoryW(saved);
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Setup", L"Exception: CreateDirectory failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ListFolder(downloads), std::vector<std::wstring>{L"BrinmoorSetup.exe"});
    EXPECT_EQ(ListFolder(current), std::vector<std::wstring>{});
    EXPECT_FALSE(temp.Exists(L"frontend-record.txt"));
}

// BrinmoorSetup planted as a link to a folder someone else controls: the run
// stages nothing through it.
TEST_F(InstallRunTest, BrinmoorSetupThatIsALinkIsRefused)
{
    const std::wstring elsewhere = temp.Path() + L"elsewhere\\";
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    const UnixCommandResult link = RunUnixCommand("ln -s elsewhere " + ShellQuote(UnixPath(temp.Path() + L"BrinmoorSetup")));
    ASSERT_TRUE(link.finished && link.exitCode == 0) << link.output;

    auto process = Start(L"", Recording());
    const MessageBoxView box = ExpectErrorBox(*process, L"Brinmoor Setup", L"Exception: CreateDirectory failed");
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*process), InstallFailure);
    EXPECT_EQ(ListFolder(elsewhere), std::vector<std::wstring>{});
    EXPECT_FALSE(temp.Exists(L"frontend-record.txt"));
}

// Another process, here the front end itself, tries to move, replace or
// change the staged payload while it is in use: every try is refused, and
// the run still ends and cleans up as usual. Wine keeps no access lists,
// only the Unix mode it makes of them, so that is what is read back.
TEST_F(InstallRunTest, StagedPayloadCannotBeTamperedWithWhileTheFrontEndRuns)
{
    temp.WriteFile(L"frontend-tamper.txt", "");
    ASSERT_EQ(RunUnattended(Recording()), 0u);
    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ListFolder(runFolder), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"), ExpectedLog(Recording(), runFolder, 0));
    ExpectFrontEndSawEveryItem(runFolder);

    const auto tries = ReadRecord(temp.Path() + L"frontend-tamper-result.txt");
    for (const wchar_t* attempt :
         {L"rename-folder", L"rename-package", L"delete-package", L"write-config", L"delete-satellite"}) {
        ASSERT_EQ(tries.count(attempt), 1u) << testing::PrintToString(std::wstring(attempt));
        const std::wstring error = tries.at(attempt);
        EXPECT_TRUE(error == L"32" || error == L"5") << testing::PrintToString(std::wstring(attempt)) << " gave "
                                                     << testing::PrintToString(error);
    }

    EXPECT_EQ(StrangersAllowedInto(runFolder), std::vector<std::wstring>{});
    const UnixCommandResult mode = RunUnixCommand("stat -c %a " + ShellQuote(UnixPath(runFolder)));
    ASSERT_TRUE(mode.finished);
    ASSERT_EQ(mode.output.size(), 4u) << mode.output;
    EXPECT_EQ(mode.output[2], '0') << "others may enter the run folder: mode " << mode.output;
}

}  // namespace

namespace {

class DemoPayloadTest : public LauncherTest {};

TEST_F(DemoPayloadTest, PlainRunInstallsTheDemoProduct)
{
    auto process = Start(L"");
    EXPECT_EQ(ExitCodeOf(*process, 180000), 0u);

    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, 0, programFiles)));
    const std::wstring product = std::wstring(programFiles) + L"\\Brinmoor\\Tessolan\\";
    EXPECT_NE(GetFileAttributesW((product + L"Readme.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    const std::vector<std::wstring> folders = RunFolders();
    ASSERT_EQ(folders.size(), 1u);
    // The demo front end keeps a log of its own beside the launcher's.
    EXPECT_EQ(ListFolder(folders[0]), (std::vector<std::wstring>{L"Setup.log", L"SetupUI.log"}));
    EXPECT_NE(ReadWholeFile(folders[0] + L"Setup.log").find("  Exit code: 0\n"), std::string::npos);

    // Leaves the prefix as it found it: a later test installs the same product elsewhere.
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    DrivenProcess remove(std::wstring(system) + L"\\msiexec.exe",
                         L"/x \"" BRINMOOR_BUILD_DIR L"\\demo-payload\\Brinmoor.msi\" /qn");
    EXPECT_EQ(ExitCodeOf(remove, 300000), 0u);
    EXPECT_EQ(GetFileAttributesW((product + L"Readme.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

// Signs a copy of the launcher with a throw-away certificate through the
// build's own signing script, checks the signature, and runs it.
TEST_F(InstallRunTest, SignedLauncherVerifiesAndStagesEveryItemByteForByte)
{
    const std::wstring folder = temp.Path() + L"signed\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring launcher = folder + L"BrinmoorSetup.exe";
    ASSERT_TRUE(CopyFileW(Recording().c_str(), launcher.c_str(), FALSE));
    const std::string work = ShellQuote(UnixPath(folder));
    const std::string commands =
        "cd " + work + " && printf 'test password' >password.txt"
        " && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2"
        "    -subj '/CN=Brinmoor test signing' -addext extendedKeyUsage=codeSigning"
        " && openssl pkcs12 -export -inkey key.pem -in cert.pem -out signing.p12 -passout file:password.txt"
        " && cmake -DFILE=BrinmoorSetup.exe -DPKCS12=signing.p12 -DPASSWORD_FILE=password.txt"
        "    -P " + ShellQuote(BRINMOOR_SOURCE_DIR "/cmake/Sign.cmake") + " >/dev/null"
        " && osslsigncode verify -CAfile cert.pem -in BrinmoorSetup.exe";
    const UnixCommandResult signing = RunUnixCommand(commands, 120000);
    ASSERT_TRUE(signing.finished);
    ASSERT_EQ(0, signing.exitCode) << signing.output;
    EXPECT_NE(std::string::npos, signing.output.find("Signature verification: ok")) << signing.output;
    EXPECT_NE(std::string::npos, signing.output.find("Subject: /CN=Brinmoor test signing")) << signing.output;

    ASSERT_EQ(RunUnattended(launcher), 0u);
    const std::wstring runFolder = OnlyRunFolder();
    EXPECT_EQ(ReadWholeFile(runFolder + L"Setup.log"), ExpectedLog(launcher, runFolder, 0));
    ExpectFrontEndSawEveryItem(runFolder);
}
