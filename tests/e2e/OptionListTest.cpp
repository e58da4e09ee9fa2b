#include "tests/e2e/LauncherTest.h"

namespace {

const wchar_t OptionList[] =
    L"Options:\n"
    L"\n"
    L"/help\tShow this message\n"
    L"/extract\tCreate MSI for silent installation\n"
    L"/defaults\tCreate MSI for silent installation (for use with an Brinmoor.defaults file)\n";

struct OptionWords {
    const wchar_t* words;
    DWORD exitCode;  // 0 only when the list was asked for
};

class OptionListTest : public LauncherTest, public testing::WithParamInterface<OptionWords> {};

TEST_P(OptionListTest, ShowsTheOptionListAndEndsWithZeroOnlyWhenAskedFor)
{
    auto launcher = Start(GetParam().words);
    const MessageBoxView box = WaitForMessageBox(*launcher);
    ASSERT_NE(box.window, nullptr) << "no message box appeared";
    EXPECT_EQ(box.caption, L"Brinmoor Tessolan Setup");
    EXPECT_EQ(box.text, OptionList);
    EXPECT_EQ(box.icon, IconStyle::Information);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});

    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*launcher), GetParam().exitCode);
    EXPECT_TRUE(ListFolder(temp.Path()).empty()) << "the option list must stage nothing and log nothing";
}

INSTANTIATE_TEST_SUITE_P(Words, OptionListTest,
                         testing::Values(OptionWords{L"/help", 0}, OptionWords{L"/?", 0},
                                         OptionWords{L"/unknown", InvalidCommandLine},
                                         OptionWords{L"/EXTRACT", InvalidCommandLine},
                                         OptionWords{L"\"/extract\"", InvalidCommandLine},
                                         OptionWords{L"/extract\t/defaults", InvalidCommandLine},
                                         OptionWords{L"/help /extract", 0},
                                         OptionWords{L"/unknown /?", 0}),
                         [](const testing::TestParamInfo<OptionWords>& info) {
                             return "Case" + std::to_string(info.index);
                         });

}  // namespace
