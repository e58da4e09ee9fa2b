#include "tests/support/TempFolder.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                DeleteFileW((folder + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(temp) + L"brinmoor-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        if (CreateDirectoryW(path_.c_str(), nullptr))
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("TempFolder: CreateDirectory failed");
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

bool TempFolder::Exists(const std::wstring& name) const
{
    return FileExists(path_ + name);
}

std::string TempFolder::ReadFile(const std::wstring& name) const
{
    return ReadWholeFile(path_ + name);
}

void TempFolder::WriteFile(const std::wstring& name, const std::string& bytes) const
{
    std::ofstream file((path_ + name).c_str(), std::ios::binary);
    file << bytes;
}
