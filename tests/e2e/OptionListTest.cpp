#include "tests/e2e/LauncherTest.h"

namespace {

const wchar_t OptionList[] =
    L"Options:\n"
    L"\n"
    L"/help\tShow this message\n"
    L"/extract\tCreate MSI for silent installation\n"
    L"/defaults\tCreate MSI for silent installation (for use with an Brinmoor.defaults file)\n";

class OptionListTest : public LauncherTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(OptionListTest, ShowsTheOptionListAndEndsWithZero)
{
    auto launcher = Start(GetParam());
    const MessageBoxView box = WaitForMessageBox(*launcher);
    ASSERT_NE(box.window, nullptr) << "no message box appeared";
    EXPECT_EQ(box.caption, L"Brinmoor Tessolan Setup");
    EXPECT_EQ(box.text, OptionList);
    EXPECT_EQ(box.icon, IconStyle::Information);
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});

    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCodeOf(*launcher), 0u);
    EXPECT_TRUE(ListFolder(temp.Path()).empty()) << "the option list must stage nothing and log nothing";
}

INSTANTIATE_TEST_SUITE_P(Words, OptionListTest,
                         testing::Values(L"/help", L"/?", L"/unknown", L"/EXTRACT", L"\"/extract\"",
                                         L"/extract\t/defaults", L"/help /extract"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return "Case" + std::to_string(info.index);
                         });

}  // namespace
