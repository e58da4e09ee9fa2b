#pragma once

#include <string>

// What the options dialog collected, for the package's Property table.
struct ExtractOptions {
    std::wstring installDir;  // empty: the package's own default folder
    std::wstring packagePath;
    bool desktopShortcut = false;
    bool noUpdateCheck = false;
    bool noEula = false;
};
