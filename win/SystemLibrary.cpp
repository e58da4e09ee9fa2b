#include "win/SystemLibrary.h"

#include "log/SetupLog.h"
#include "win/DllSearch.h"

SystemLibrary::SystemLibrary(const wchar_t* name)
    : name_(name), module_(LoadSystemDll(name))
{
    if (!module_)
        throw std::runtime_error(ToUtf8(name_) + " could not be loaded");
}

FARPROC SystemLibrary::Address(const char* function) const
{
    const FARPROC address = GetProcAddress(module_.get(), function);
    if (!address)
        throw std::runtime_error(std::string(function) + " is missing");
    return address;
}
