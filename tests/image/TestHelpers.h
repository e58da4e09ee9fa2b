#pragma once

#include <cstddef>
#include <functional>
#include <string>

// setupLog can be opened once per process: it is opened before the first test
// in a folder kept until the last, and each test reads what it appended.
class LogWatch {
public:
    LogWatch();
    std::string Appended() const;

private:
    size_t start_;
};

// The text of the runtime error `action` throws, or "no error".
std::string ErrorText(const std::function<void()>& action);

std::string ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
