#include "tests/support/ScopedRegistry.h"

#include "win/Handles.h"

namespace {

RegistryKey OpenKey(HKEY root, const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened, nullptr) != ERROR_SUCCESS)
        return RegistryKey();
    return RegistryKey(opened);
}

}  // namespace

bool RegistryKeyExists(HKEY root, const std::wstring& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name,
                                         const wchar_t* text)
    : root(root), key(key), name(name)
{
    Save();
    if (text)
        Write(REG_SZ, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    else
        RegDeleteKeyValueW(root, key.c_str(), name.c_str());
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD number)
    : root(root), key(key), name(name)
{
    Save();
    Write(REG_DWORD, &number, sizeof number);
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    if (existed)
        Write(oldType, oldData.data(), static_cast<DWORD>(oldData.size()));
    else
        RegDeleteKeyValueW(root, key.c_str(), name.c_str());
}

void ScopedRegistryValue::Save()
{
    DWORD size = 0;
    existed = RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &oldType, nullptr, &size) ==
              ERROR_SUCCESS;
    if (!existed)
        return;
    oldData.resize(size);
    RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &oldType, &oldData[0], &size);
}

void ScopedRegistryValue::Write(DWORD type, const void* data, DWORD size) const
{
    RegistryKey opened = OpenKey(root, key);
    RegSetValueExW(opened.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}

ScopedRegistryKey::ScopedRegistryKey(HKEY root, const std::wstring& key, bool present)
    : root(root), key(key), existed(RegistryKeyExists(root, key))
{
    if (present)
        OpenKey(root, key);
    else
        RegDeleteTreeW(root, key.c_str());
}

ScopedRegistryKey::~ScopedRegistryKey()
{
    if (existed)
        OpenKey(root, key);
    else
        RegDeleteTreeW(root, key.c_str());
}
