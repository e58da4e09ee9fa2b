#pragma once

#include <string>

enum RunMode : int {
    Install = 0,
    Extract = 1,
    Defaults = 2,
};

struct CommandLineOptions {
    bool showHelp = false;
    RunMode mode = Install;
    // "/help" or "/?" was among the words, rather than only unknown ones.
    bool helpAsked = false;
};

// Words are cut at spaces only and matched exactly; any word that is not an
// option asks for the option list.
CommandLineOptions ParseCommandLine(const std::wstring& commandLine);

std::wstring GetOptionList();

// 0 when the list was asked for; ERROR_INVALID_COMMAND_LINE when an unknown
// word brought it up, so that a deployment tool sees the typo.
int OptionListExitCode(const CommandLineOptions& options);
