#include <gtest/gtest.h>

#include "launcher/CommandLine.h"
#include "launcher/SetupMessage.h"

namespace {

struct Case {
    const wchar_t* commandLine;
    bool showHelp;
    RunMode mode;
};

TEST(ParseCommandLine, ChoosesModeAndHelpFromExactWords)
{
    const Case cases[] = {
        {L"", false, Install},
        {L"   ", false, Install},
        {L"/extract", false, Extract},
        {L"/defaults", false, Defaults},
        {L"/extract /defaults", false, Defaults},
        {L"/defaults /extract", false, Extract},
        {L"/extract /extract", false, Extract},
        {L"  /extract   /defaults  ", false, Defaults},
        {L"/help", true, Install},
        {L"/?", true, Install},
        {L"/help /extract", true, Extract},
        {L"/extract /?", true, Extract},
    };
    for (const Case& c : cases) {
        const CommandLineOptions options = ParseCommandLine(c.commandLine);
        EXPECT_EQ(options.showHelp, c.showHelp) << "command line: [" << testing::PrintToString(std::wstring(c.commandLine)) << "]";
        EXPECT_EQ(options.mode, c.mode) << "command line: [" << testing::PrintToString(std::wstring(c.commandLine)) << "]";
    }
}

TEST(ParseCommandLine, AnyOtherWordAsksForTheOptionList)
{
    const wchar_t* unrecognised[] = {
        L"/EXTRACT",
        L"/Extract /extract",
        L"-extract",
        L"/extractx",
        L"\"/extract\"",
        L"/extract\t/defaults",
        L"/extract\n",
        L"/defaults /x",
        L"extract",
        L"/",
    };
    for (const wchar_t* commandLine : unrecognised)
        EXPECT_TRUE(ParseCommandLine(commandLine).showHelp) << testing::PrintToString(std::wstring(commandLine));
}

TEST(ParseCommandLine, TabsAndQuotesStayInsideTheWord)
{
    // A tab joins two options into one unknown word, so no mode is taken from it.
    const CommandLineOptions options = ParseCommandLine(L"/extract\t/defaults");
    EXPECT_TRUE(options.showHelp);
    EXPECT_EQ(options.mode, Install);
}

TEST(OptionList, HasFiveLinesEachEndedByLineFeed)
{
    const std::wstring text = GetOptionList();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), L'\n');
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\n'), 5);
    EXPECT_EQ(text.find(L'\r'), std::wstring::npos);
    EXPECT_EQ(text.rfind(L"Options:\n\n/help\tShow this message\n/extract\t", 0), 0u);
    EXPECT_NE(text.find(L"\n/defaults\tCreate MSI for silent installation (for use with an Brinmoor.defaults file)\n"),
              std::wstring::npos);
    EXPECT_EQ(text.find(L"/?"), std::wstring::npos);
}

TEST(SetupCaption, NamesTheProduct)
{
    EXPECT_EQ(GetSetupCaption(), L"Brinmoor Tessolan Setup");
}

}  // namespace
