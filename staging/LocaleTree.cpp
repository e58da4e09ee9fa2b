#include "staging/LocaleTree.h"

#include <windows.h>

#include "image/ExeImage.h"
#include "staging/FolderHold.h"
#include "staging/PayloadTable.h"

LocaleTree::~LocaleTree()
{
    for (auto& folder : folders)
        folder.reset();
}

void LocaleTree::AddLocale(const std::wstring& locale, int resourceId)
{
    const std::wstring folderPath = path + locale;
    // Not checked: a folder that could not be made cannot be held either.
    CreateDirectoryW(folderPath.c_str(), nullptr);
    FileHandle folderHold = HoldFolder(folderPath);
    if (!folderHold)
        ExeImage::ThrowImageError("CreateFile failed");

    const std::wstring filePath = folderPath + L"\\" + SatelliteFile;
    auto file = std::make_unique<StagedFile>();
    try {
        file->SetPath(filePath, image->SaveResourceToHeldFile(resourceId, filePath, progress));
    } catch (const CopyCancelled&) {
        // A failed copy leaves its empty folder as a trace; a cancelled run
        // leaves nothing but its log.
        folderHold.reset();
        RemoveDirectoryW(folderPath.c_str());
        throw;
    }

    // The folder is owned, and so removed at the end, only once its satellite is staged.
    auto folder = std::make_unique<StagedFolder>(folderPath, std::move(folderHold));
    folder->SetFile(std::move(file));
    folders.push_back(std::move(folder));
}
