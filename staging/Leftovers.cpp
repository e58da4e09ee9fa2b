#include "staging/Leftovers.h"

#include <windows.h>

#include <vector>

#include "staging/FolderHold.h"
#include "staging/PayloadTable.h"
#include "win/Handles.h"

namespace {

const int MostFoldersLookedAt = 64;

bool SetDeleteOnClose(HANDLE file, bool remove)
{
    FILE_DISPOSITION_INFO disposition = {remove};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// The payload's files in `folder`, each opened for deletion with no sharing
// at all; false when one is a link or a folder, or is open elsewhere.
bool OpenPayloadForDeletion(const std::wstring& folder, std::vector<FileHandle>& items)
{
    std::vector<std::wstring> paths;
    for (const PayloadItem& item : TopLevelItems)
        paths.push_back(folder + item.name);
    for (const PayloadItem& satellite : Satellites) {
        const DWORD locale = GetFileAttributesW((folder + satellite.name).c_str());
        if (locale != INVALID_FILE_ATTRIBUTES && (locale & FILE_ATTRIBUTE_REPARSE_POINT))
            return false;
        paths.push_back(folder + satellite.name + L"\\" + SatelliteFile);
    }
    for (const std::wstring& path : paths) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            continue;
        if (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))
            return false;
        FileHandle item(CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr));
        if (!item)
            return false;
        items.push_back(std::move(item));
    }
    return true;
}

// A run that ended as it should left nothing but its log: one listing
// tells, far cheaper than asking for every name.
bool HoldsOnlyItsLog(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW((folder + L"*").c_str(), &found));
    if (!search)
        return true;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L".." && name != L"Setup.log")
            return false;
    } while (FindNextFileW(search.get(), &found));
    return true;
}

// All or nothing: every item is marked for deletion before any handle
// closes, and a mark that fails (a running program's file) is undone for all.
void ReclaimFolder(const std::wstring& folder)
{
    if (HoldsOnlyItsLog(folder))
        return;
    // A running launcher holds its run folder without delete sharing for the
    // whole run, so this open fails for it.
    const FileHandle probe(CreateFileW(folder.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!probe || !IsRealFolder(folder, probe.get()))
        return;
    std::vector<FileHandle> items;
    if (!OpenPayloadForDeletion(folder, items))
        return;
    size_t marked = 0;
    while (marked < items.size() && SetDeleteOnClose(items[marked].get(), true))
        ++marked;
    if (marked < items.size()) {
        for (size_t i = 0; i < marked; ++i)
            SetDeleteOnClose(items[i].get(), false);
        return;
    }
    items.clear();
    // Only an empty locale folder goes: a file of someone else's keeps it.
    for (const PayloadItem& satellite : Satellites)
        RemoveDirectoryW((folder + satellite.name).c_str());
}

}  // namespace

bool IsRunFolderName(const std::wstring& name) noexcept
{
    if (name.size() != 36)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? c != L'-' : !((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f')))
            return false;
    }
    return true;
}

void ReclaimLeftovers(const std::wstring& root, const std::wstring& ownName) noexcept
{
    try {
        WIN32_FIND_DATAW found;
        const FindHandle search(FindFirstFileW((root + L"*").c_str(), &found));
        if (!search)
            return;
        int lookedAt = 0;
        do {
            const std::wstring name = found.cFileName;
            const DWORD attributes = found.dwFileAttributes;
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                !IsRunFolderName(name) || name == ownName)
                continue;
            ReclaimFolder(root + name + L"\\");
            if (++lookedAt == MostFoldersLookedAt)
                break;
        } while (FindNextFileW(search.get(), &found));
    } catch (...) {
        // No memory for a path: the leftovers wait for a later run.
    }
}
