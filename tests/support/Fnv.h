#pragma once

#include <windows.h>

#include <cstdint>
#include <sstream>
#include <string>

// Size and 64-bit FNV-1a hash of a file's bytes as one text, or "missing".
inline std::wstring FileDigest(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return L"missing";
    uint64_t hash = 1469598103934665603ull;
    uint64_t size = 0;
    unsigned char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        for (DWORD i = 0; i < read; ++i)
            hash = (hash ^ buffer[i]) * 1099511628211ull;
        size += read;
    }
    CloseHandle(file);
    std::wostringstream text;
    text << size << L":" << std::hex << hash;
    return text.str();
}
