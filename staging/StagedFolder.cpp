#include "staging/StagedFolder.h"

#include <windows.h>

#include "log/SetupLog.h"

StagedFolder::~StagedFolder()
{
    // The satellite goes first: a folder is removed only when empty.
    file.reset();
    hold.reset();
    if (!RemoveDirectoryW(path.c_str()))
        LogLine("RemoveDirectory failed: ", path);
}
