#pragma once

#include <memory>
#include <string>

#include "staging/StagedFile.h"

// One locale folder of the staging folder with its staged satellite.
class StagedFolder {
public:
    explicit StagedFolder(const std::wstring& folderPath) : path(folderPath) {}
    ~StagedFolder();
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    void SetFile(std::unique_ptr<StagedFile> staged) { file = std::move(staged); }

private:
    std::wstring path;
    std::unique_ptr<StagedFile> file;
};
