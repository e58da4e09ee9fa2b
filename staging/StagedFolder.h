#pragma once

#include <memory>
#include <string>

#include "staging/StagedFile.h"

// One locale folder of the staging folder with its staged satellite, held
// against renaming until just before it is removed.
class StagedFolder {
public:
    StagedFolder(const std::wstring& folderPath, FileHandle held) : path(folderPath), hold(std::move(held)) {}
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    void SetFile(std::unique_ptr<StagedFile> staged) { file = std::move(staged); }

private:
    std::wstring path;
    FileHandle hold;
    std::unique_ptr<StagedFile> file;
};
