#pragma once

#include <memory>
#include <string>
#include <vector>

#include "staging/StagedFolder.h"

class CopyProgress;
class ExeImage;

// The locale folders of the staging folder, each with its satellite
// SetupUI.resources.dll. Folders are removed in the order they were added.
class LocaleTree {
public:
    LocaleTree(const std::wstring& stagingPath, const ExeImage& image, CopyProgress* progress = nullptr)
        : path(stagingPath), image(&image), progress(progress)
    {
    }
    ~LocaleTree();
    LocaleTree(const LocaleTree&) = delete;
    LocaleTree& operator=(const LocaleTree&) = delete;

    void AddLocale(const std::wstring& locale, int resourceId);

private:
    std::wstring path;
    const ExeImage* image;
    CopyProgress* progress;
    std::vector<std::unique_ptr<StagedFolder>> folders;
};
