#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "win/Handles.h"
#include "log/SetupLog.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ToUtf8, ConvertsWideText)
{
    EXPECT_EQ(ToUtf8(L""), "");
    EXPECT_EQ(ToUtf8(L"abc"), "abc");
    EXPECT_EQ(ToUtf8(L"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(ToUtf8(L"\u65e5\u672c"), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(ToUtf8(std::wstring(L"a\xD800z")), "a\xEF\xBF\xBDz");
    EXPECT_EQ(ToUtf8(std::wstring(L"ab\0cd", 5)), "ab");
    EXPECT_EQ(ToUtf8(std::wstring(L"\U0001F600")), "\xF0\x9F\x98\x80");
}

TEST(SetupLog, WritesUtf8LinesEndedByLineFeedOnly)
{
    TempFolder folder;
    {
        _Logger log;
        log << "lost before the open" << std::endl;
        OpenLogFile(log, folder.Path());
        ASSERT_TRUE(log.good());
        log << "ExeImage: module path is " << std::wstring(L"C:\\Us\u00e9r\\x.exe") << std::endl;
        log << "  Exit code: " << -1073741819 << std::endl;
        log << "ExeImage: " << "ImageLoad failed" << " Error: " << 4294967295ul << std::endl;
        log << "empty:" << std::wstring() << std::endl;
    }
    EXPECT_EQ(folder.ReadFile(L"Setup.log"),
              "ExeImage: module path is C:\\Us\xC3\xA9r\\x.exe\n"
              "  Exit code: -1073741819\n"
              "ExeImage: ImageLoad failed Error: 4294967295\n"
              "empty:\n");
}

TEST(SetupLog, EachLineReachesTheFileWhenItEnds)
{
    TempFolder folder;
    _Logger log;
    OpenLogFile(log, folder.Path());
    log << "Waiting for process to finish..." << std::endl;
    EXPECT_EQ(folder.ReadFile(L"Setup.log"), "Waiting for process to finish...\n");
    log << "wide " << std::wstring(L"piece");
    EXPECT_EQ(folder.ReadFile(L"Setup.log"), "Waiting for process to finish...\nwide piece");
}

TEST(SetupLog, SecondOpenFailsAndLaterLinesAreDropped)
{
    TempFolder first;
    TempFolder second;
    _Logger log;
    OpenLogFile(log, first.Path());
    log << "one" << std::endl;
    OpenLogFile(log, second.Path());
    EXPECT_TRUE(log.fail());
    log << "two" << std::endl;
    EXPECT_EQ(first.ReadFile(L"Setup.log"), "one\n");
    EXPECT_FALSE(second.Exists(L"Setup.log"));
}

TEST(SetupLog, OpenInMissingFolderFailsQuietly)
{
    TempFolder folder;
    _Logger log;
    OpenLogFile(log, folder.Path() + L"missing\\");
    EXPECT_TRUE(log.fail());
    log << "nothing" << std::endl;
}

TEST(SetupLog, FolderWithoutSeparatorIsJoinedUnchanged)
{
    TempFolder folder;
    _Logger log;
    OpenLogFile(log, folder.Path() + L"run");
    log << "x" << std::endl;
    EXPECT_EQ(folder.ReadFile(L"runSetup.log"), "x\n");
}

TEST(SetupLog, OtherProcessesCanReadAndWriteWhileItIsOpen)
{
    TempFolder folder;
    _Logger log;
    OpenLogFile(log, folder.Path());
    log << "held" << std::endl;

    const std::wstring path = folder.Path() + L"Setup.log";
    FileHandle other(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(other.valid()) << GetLastError();
    char bytes[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(other.get(), bytes, sizeof bytes, &read, nullptr));
    EXPECT_EQ(std::string(bytes, read), "held\n");
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(other.get(), "!", 1, &written, nullptr));
    EXPECT_EQ(written, 1u);
}

}  // namespace
