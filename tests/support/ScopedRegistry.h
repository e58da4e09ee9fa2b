#pragma once

#include <windows.h>

#include <string>

// Sets or removes one registry value for the life of the object and puts the
// old state back afterwards. Keys it creates stay (empty), which is harmless.
class ScopedRegistryValue {
public:
    // A null text removes the value.
    ScopedRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, const wchar_t* text);
    ScopedRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name, DWORD number);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    void Save();
    void Write(DWORD type, const void* data, DWORD size) const;

    HKEY root;
    std::wstring key;
    std::wstring name;
    bool existed = false;
    DWORD oldType = 0;
    std::string oldData;
};

// Creates or deletes a key for the life of the object, then restores it.
class ScopedRegistryKey {
public:
    ScopedRegistryKey(HKEY root, const std::wstring& key, bool present);
    ~ScopedRegistryKey();
    ScopedRegistryKey(const ScopedRegistryKey&) = delete;
    ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;

private:
    HKEY root;
    std::wstring key;
    bool existed;
};

bool RegistryKeyExists(HKEY root, const std::wstring& key);
