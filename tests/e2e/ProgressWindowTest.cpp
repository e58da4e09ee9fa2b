#include <algorithm>
#include <vector>

#include "tests/e2e/LauncherTest.h"
#include "tests/support/ProgressDriver.h"
#include "tests/support/Screenshot.h"

namespace {

// A launcher whose window shows from the first piece on, with a payload of
// some 70 MiB, staged on a machine busy enough to watch it.
class ProgressWindowTest : public LauncherTest {
protected:
    std::unique_ptr<DrivenProcess> StartSlowly()
    {
        auto process = Start(L"", LauncherPath(L"progress"));
        slow = std::make_unique<SlowMachine>(*process, 10, 40);
        return process;
    }

    std::unique_ptr<SlowMachine> slow;
};

TEST_F(ProgressWindowTest, ShowsTheStagingAndClosesBeforeTheFrontEndStarts)
{
    auto process = StartSlowly();
    const ProgressDriver window = ProgressDriver::WaitFor(*process);
    ASSERT_NE(window.Window(), nullptr) << "no progress window appeared";
    EXPECT_EQ(window.Caption(), L"Brinmoor Tessolan Setup");
    EXPECT_EQ(window.Line(), L"Preparing Brinmoor Tessolan Setup\u2026");
    const int maximum = window.Maximum();
    EXPECT_GT(maximum, 0);

    // Asked again at once after each answer, so that a question is waiting
    // when the last piece is drawn.
    std::vector<int> positions;
    FILETIME lastAnswer = {};
    bool photographed = false;
    for (int position = window.Position(); position >= 0; position = window.Position()) {
        positions.push_back(position);
        GetSystemTimeAsFileTime(&lastAnswer);
        if (!photographed && position >= maximum / 2) {
            photographed = true;
            process->Pause();
            EXPECT_TRUE(SaveScreenshot(BRINMOOR_BUILD_DIR L"\\tests\\screenshots\\", L"progress", window.Window()));
            process->Resume();
        }
    }
    slow.reset();
    EXPECT_EQ(ExitCodeOf(*process), 0u);
    WIN32_FILE_ATTRIBUTE_DATA record = {};
    ASSERT_TRUE(GetFileAttributesExW((temp.Path() + L"frontend-record.txt").c_str(), GetFileExInfoStandard, &record));
    EXPECT_GT(CompareFileTime(&record.ftCreationTime, &lastAnswer), 0) << "the front end started under the window";
    ASSERT_GE(positions.size(), 2u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << testing::PrintToString(positions);
    EXPECT_LT(positions.front(), positions.back()) << "the bar did not move";
    EXPECT_EQ(positions.back(), maximum) << "the bar did not reach its end";
}

TEST_F(ProgressWindowTest, CancelRemovesWhatWasStagedAndStartsNothing)
{
    auto process = StartSlowly();
    const ProgressDriver window = ProgressDriver::WaitFor(*process);
    ASSERT_NE(window.Window(), nullptr) << "no progress window appeared";
    window.PressCancel();
    EXPECT_EQ(ExitCodeOf(*process), UserExit) << "the run ended otherwise, or waited for an answer";
    slow.reset();

    const std::vector<std::wstring> folders = RunFolders();
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(ListFolder(folders[0]), std::vector<std::wstring>{L"Setup.log"});
    EXPECT_EQ(ReadWholeFile(folders[0] + L"Setup.log"),
              "ExeImage: module path is " + Utf8(LauncherPath(L"progress")) + "\n");
    EXPECT_FALSE(temp.Exists(L"frontend-record.txt")) << "the front end was started";
}

}  // namespace
