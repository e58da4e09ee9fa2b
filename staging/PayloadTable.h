#pragma once

#include <array>
#include <cstddef>

struct PayloadItem {
    int resourceId;
    const wchar_t* name;  // a file name, or a locale folder for a satellite
};

// Staged in this order; the first four beside the front end, then the satellites.
inline constexpr std::array<PayloadItem, 4> TopLevelItems = {{
    {135, L"Brinmoor.msi"},
    {132, L"DotNet.exe"},
    {133, L"SetupUI.exe"},
    {134, L"SetupUI.exe.config"},
}};
inline constexpr size_t FrontEndItem = 2;

inline constexpr std::array<PayloadItem, 9> Satellites = {{
    {136, L"de"},
    {137, L"en-US"},
    {138, L"es"},
    {139, L"fr"},
    {140, L"it"},
    {141, L"ja"},
    {142, L"pt-BR"},
    {143, L"ru"},
    {144, L"zh-Hans"},
}};

// The file each locale folder holds.
inline constexpr wchar_t SatelliteFile[] = L"SetupUI.resources.dll";
