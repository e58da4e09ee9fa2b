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
};

// Words are cut at spaces only and matched exactly; any word that is not an
// option asks for the option list.
CommandLineOptions ParseCommandLine(const std::wstring& commandLine);

std::wstring GetOptionList();
