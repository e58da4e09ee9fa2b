#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <string>

#include "staging/FolderHold.h"
#include "staging/FolderSecurity.h"
#include "staging/TemporaryFolder.h"
#include "tests/support/ErrorText.h"
#include "tests/support/TempFolder.h"
#include "win/Handles.h"

namespace {

// What the stand-in for GetTempPathW and GetTempPath2W reports, as they do:
// the length without the terminating null when it fits, else the size needed.
std::wstring reportedTemp;

DWORD WINAPI ReportTemp(DWORD size, LPWSTR buffer)
{
    if (reportedTemp.size() + 1 > size)
        return static_cast<DWORD>(reportedTemp.size() + 1);
    reportedTemp.copy(buffer, reportedTemp.size());
    buffer[reportedTemp.size()] = L'\0';
    return static_cast<DWORD>(reportedTemp.size());
}

DWORD WINAPI NeverAsked(DWORD, LPWSTR)
{
    ADD_FAILURE() << "the user's TEMP was read";
    return 0;
}

class Sid {
public:
    explicit Sid(const wchar_t* text)
    {
        PSID sid = nullptr;
        EXPECT_TRUE(ConvertStringSidToSidW(text, &sid)) << testing::PrintToString(std::wstring(text));
        owned.reset(sid);
    }
    PSID get() const { return owned.get(); }

private:
    LocalMemory owned;
};

TEST(TemporaryFolder, GetTempPath2IsTakenWhereItExistsAndAPathMustFitTheBuffer)
{
    TempFolderSources sources;
    sources.getTempPath2 = ReportTemp;
    sources.getTempPath = NeverAsked;
    sources.runsAsSystem = true;
    reportedTemp = L"C:\\" + std::wstring(256, L't') + L"\\";
    ASSERT_EQ(reportedTemp.size(), 260u);
    EXPECT_EQ(TemporaryFolder(sources), reportedTemp);
    reportedTemp.insert(3, L"t");
    EXPECT_EQ(ErrorText([&] { TemporaryFolder(sources); }), "CreateDirectory failed");

    sources.getTempPath2 = nullptr;
    sources.getTempPath = ReportTemp;
    sources.runsAsSystem = false;
    reportedTemp = L"C:\\Users\\someone\\AppData\\Local\\Temp\\";
    EXPECT_EQ(TemporaryFolder(sources), reportedTemp);
}

// Windows without GetTempPath2W hands SYSTEM C:\Windows\Temp, where any user
// may plant BrinmoorSetup. A SystemTemp that is not SYSTEM's, the
// Administrators' or TrustedInstaller's (here: the test user's) is refused.
TEST(TemporaryFolder, SystemWithoutGetTempPath2StagesUnderASystemTempNoUserOwns)
{
    TempFolder windows;
    TempFolderSources sources;
    sources.getTempPath = NeverAsked;
    sources.runsAsSystem = true;
    sources.windowsFolder = windows.Path().substr(0, windows.Path().size() - 1);
    EXPECT_EQ(TemporaryFolder(sources), windows.Path() + L"SystemTemp\\");
    EXPECT_EQ(ErrorText([&] { TemporaryFolder(sources); }), "CreateDirectory failed");
}

TEST(FolderOwner, TheWellKnownAccountsTheUserAndEveryoneElseAreToldApart)
{
    const Sid system(L"S-1-5-18");
    const Sid administrators(L"S-1-5-32-544");
    const Sid trustedInstaller(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464");
    const Sid user(L"S-1-5-21-1-2-3-1001");
    const Sid otherUser(L"S-1-5-21-1-2-3-1002");
    EXPECT_EQ(ClassifyOwner(system.get(), user.get()), Trustee::System);
    EXPECT_EQ(ClassifyOwner(administrators.get(), user.get()), Trustee::Administrators);
    EXPECT_EQ(ClassifyOwner(trustedInstaller.get(), user.get()), Trustee::TrustedInstaller);
    EXPECT_EQ(ClassifyOwner(user.get(), user.get()), Trustee::CurrentUser);
    EXPECT_EQ(ClassifyOwner(otherUser.get(), user.get()), Trustee::Other);
    EXPECT_EQ(ClassifyOwner(nullptr, user.get()), Trustee::Other);
    // As SYSTEM, SYSTEM's folder is trusted as SYSTEM's, not as "the user's".
    EXPECT_EQ(ClassifyOwner(system.get(), system.get()), Trustee::System);
}

// The second guard against a re-pointed BrinmoorSetup: the run folder must
// resolve to the entry of the very folder that is held.
TEST(FolderHold, ARunFolderMustResolveInsideTheHeldFolder)
{
    TempFolder temp;
    for (const wchar_t* folder : {L"root", L"root\\run", L"elsewhere"})
        ASSERT_TRUE(CreateDirectoryW((temp.Path() + folder).c_str(), nullptr));
    const FileHandle root = HoldFolder(temp.Path() + L"root\\");
    const FileHandle run = HoldFolder(temp.Path() + L"root\\run\\");
    const FileHandle elsewhere = HoldFolder(temp.Path() + L"elsewhere\\");
    ASSERT_TRUE(root.valid() && run.valid() && elsewhere.valid());
    EXPECT_TRUE(IsHeldWithin(run.get(), root.get(), L"run"));
    EXPECT_FALSE(IsHeldWithin(elsewhere.get(), root.get(), L"elsewhere"));
}

// The mandatory label of a descriptor, or null.
const SYSTEM_MANDATORY_LABEL_ACE* LabelOf(PSECURITY_DESCRIPTOR descriptor)
{
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL sacl = nullptr;
    if (!GetSecurityDescriptorSacl(descriptor, &present, &sacl, &defaulted) || !present || !sacl)
        return nullptr;
    for (DWORD i = 0; i < sacl->AceCount; ++i) {
        void* ace = nullptr;
        if (GetAce(sacl, i, &ace) && static_cast<ACE_HEADER*>(ace)->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            return static_cast<const SYSTEM_MANDATORY_LABEL_ACE*>(ace);
    }
    return nullptr;
}

// The user has full access in the access list, so an elevated run's folder
// must carry a label that keeps the user's unelevated processes from
// writing, for what is created inside too, and still lets them read.
TEST(FolderSecurity, OnlyAnElevatedRunsFolderIsClosedToWritesFromBelowHighIntegrity)
{
    FolderSecurity unelevated(PrivateFolderSddl(L"S-1-5-21-1-2-3-1001", false));
    EXPECT_EQ(LabelOf(unelevated.Attributes()->lpSecurityDescriptor), nullptr);

    FolderSecurity elevated(PrivateFolderSddl(L"S-1-5-21-1-2-3-1001", true));
    const SYSTEM_MANDATORY_LABEL_ACE* label = LabelOf(elevated.Attributes()->lpSecurityDescriptor);
    ASSERT_NE(label, nullptr);
    const PSID level = const_cast<DWORD*>(&label->SidStart);
    EXPECT_GE(*GetSidSubAuthority(level, *GetSidSubAuthorityCount(level) - 1),
              static_cast<DWORD>(SECURITY_MANDATORY_HIGH_RID));
    EXPECT_TRUE(label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP);
    EXPECT_FALSE(label->Mask & SYSTEM_MANDATORY_LABEL_NO_READ_UP) << "the user could not read Setup.log";
    EXPECT_EQ(label->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
              OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    EXPECT_FALSE(label->Header.AceFlags & INHERIT_ONLY_ACE);
}

}  // namespace
