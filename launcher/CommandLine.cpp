#include "launcher/CommandLine.h"

#include <windows.h>

namespace {

void ApplyWord(const std::wstring& word, CommandLineOptions& options)
{
    if (word == L"/help" || word == L"/?") {
        options.showHelp = true;
        options.helpAsked = true;
    }
    else if (word == L"/extract")
        options.mode = Extract;
    else if (word == L"/defaults")
        options.mode = Defaults;
    else
        options.showHelp = true;
}

std::wstring Widen(const char* ascii)
{
    std::wstring wide;
    for (; *ascii; ++ascii)
        wide += static_cast<wchar_t>(*ascii);
    return wide;
}

}  // namespace

CommandLineOptions ParseCommandLine(const std::wstring& commandLine)
{
    CommandLineOptions options;
    std::wstring::size_type start = 0;
    while (start <= commandLine.size()) {
        std::wstring::size_type end = commandLine.find(L' ', start);
        if (end == std::wstring::npos)
            end = commandLine.size();
        if (end > start)
            ApplyWord(commandLine.substr(start, end - start), options);
        start = end + 1;
    }
    return options;
}

std::wstring GetOptionList()
{
    return Widen(
        "Options:\n"
        "\n"
        "/help\tShow this message\n"
        "/extract\tCreate MSI for silent installation\n"
        "/defaults\tCreate MSI for silent installation (for use with an Brinmoor.defaults file)\n");
}

int OptionListExitCode(const CommandLineOptions& options)
{
    return options.helpAsked ? 0 : ERROR_INVALID_COMMAND_LINE;
}
