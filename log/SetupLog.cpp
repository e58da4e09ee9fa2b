#include "log/SetupLog.h"

#include <windows.h>

#include <memory>

_Logger setupLog;

void OpenLogFile(_Logger& log, const std::wstring& folder)
{
    if (log.is_open()) {
        log.setstate(std::ios_base::failbit);
        return;
    }
    // libstdc++ opens wide names with _wfopen, whose sharing is deny-none;
    // a successful open clears the error state left by earlier writes.
    const std::wstring path = folder + L"Setup.log";
    log.open(path.c_str(), std::ios_base::out | std::ios_base::binary);
}

void OpenSetupLog(const std::wstring& folder)
{
    OpenLogFile(setupLog, folder);
}

std::string ToUtf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::unique_ptr<char[]> bytes(new char[size]);
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.get(), size, nullptr, nullptr);
    return std::string(bytes.get());
}

std::ostream& operator<<(std::ostream& stream, const std::wstring& text)
{
    stream << ToUtf8(text);
    return stream.flush();
}

void LogLine(const char* literal, const std::wstring& text) noexcept
{
    try {
        setupLog << literal << text << std::endl;
    } catch (...) {
        // The stream's exception mask stays empty, so this cannot throw.
        setupLog.setstate(std::ios_base::badbit);
    }
}
