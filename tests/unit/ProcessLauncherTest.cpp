#include <gtest/gtest.h>

#include <windows.h>

#include "launcher/ProcessLauncher.h"
#include "tests/support/LogWatch.h"

namespace {

// A test program that ends with the exit code it is given.
std::wstring ExitWith()
{
    return EXIT_WITH_PATH;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

TEST(ProcessLauncher, LogsTheStartTheWaitAndTheExitCode)
{
    const LogWatch log;
    const ProcessLauncher launcher(ExitWith(), L"7", true);
    int exitCode = 0;
    EXPECT_TRUE(launcher.RunAndWait(exitCode));
    EXPECT_EQ(exitCode, 7);
    EXPECT_EQ(log.Appended(), "Trying to start process: " + Narrow(ExitWith()) + " 7\n"
                              "  Succeeded: 1\n"
                              "Waiting for process to finish...\n"
                              "  Exit code: 7\n");
}

// A program that really crashes ends at once with its exception code: no
// debugger may hold it (the test prefix has none).
TEST(ProcessLauncher, ExitCodesAboveTwoToThe31AreNegative)
{
    for (const wchar_t* arguments : {L"0xC0000005", L"crash"}) {
        const LogWatch log;
        const ProcessLauncher launcher(ExitWith(), arguments, true);
        int exitCode = 0;
        EXPECT_TRUE(launcher.RunAndWait(exitCode));
        EXPECT_EQ(exitCode, -1073741819);
        EXPECT_NE(log.Appended().find("  Exit code: -1073741819\n"), std::string::npos);
    }
}

TEST(ProcessLauncher, MissingProgramGivesOnlyTheTwoStartLines)
{
    const LogWatch log;
    const ProcessLauncher launcher(L"C:\\no\\such\\program.exe", L"", false);
    int exitCode = 0;
    EXPECT_FALSE(launcher.RunAndWait(exitCode));
    EXPECT_EQ(exitCode, -1);
    // The blank before the empty arguments is written all the same.
    EXPECT_EQ(log.Appended(), "Trying to start process: C:\\no\\such\\program.exe \n"
                              "  Succeeded: 0\n");
}

}  // namespace
