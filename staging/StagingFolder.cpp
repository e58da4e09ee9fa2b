#include "staging/StagingFolder.h"

#include <windows.h>
#include <rpc.h>

#include <stdexcept>

namespace {

std::wstring NewUuidText()
{
    UUID uuid = {};
    UuidCreateSequential(&uuid);
    RPC_WSTR text = nullptr;
    UuidToStringW(&uuid, &text);
    std::wstring result = text ? reinterpret_cast<const wchar_t*>(text) : L"";
    RpcStringFreeW(&text);
    return result;
}

}  // namespace

std::wstring CreateStagingFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"BrinmoorSetup" + L"\\";
    // Exists already after any earlier run.
    CreateDirectoryW(path.c_str(), nullptr);

    path += NewUuidText() + L"\\";
    if (!CreateDirectoryW(path.c_str(), nullptr))
        throw std::runtime_error("CreateDirectory failed");
    return path;
}
