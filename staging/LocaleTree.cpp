#include "staging/LocaleTree.h"

#include <windows.h>

#include "image/ExeImage.h"

LocaleTree::~LocaleTree()
{
    for (auto& folder : folders)
        folder.reset();
}

void LocaleTree::AddLocale(const std::wstring& locale, int resourceId)
{
    const std::wstring folderPath = path + locale;
    // Not checked: a folder that could not be made fails the copy below.
    CreateDirectoryW(folderPath.c_str(), nullptr);

    const std::wstring filePath = folderPath + L"\\SetupUI.resources.dll";
    auto file = std::make_unique<StagedFile>();
    image->SaveResourceToFile(resourceId, filePath);
    file->SetPath(filePath);

    // The folder is owned, and so removed at the end, only once its satellite is staged.
    auto folder = std::make_unique<StagedFolder>(folderPath);
    folder->SetFile(std::move(file));
    folders.push_back(std::move(folder));
}
