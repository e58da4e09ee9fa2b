#include "tests/image/TestHelpers.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "log/SetupLog.h"
#include "tests/support/TempFolder.h"

namespace {

std::unique_ptr<TempFolder> logFolder;

// The log is closed before its folder goes, or the open file would keep it.
class LogEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        logFolder = std::make_unique<TempFolder>();
        OpenSetupLog(logFolder->Path());
    }
    void TearDown() override
    {
        setupLog.close();
        logFolder.reset();
    }
};

::testing::Environment* const logEnvironment = ::testing::AddGlobalTestEnvironment(new LogEnvironment);

std::string LogText()
{
    return logFolder ? logFolder->ReadFile(L"Setup.log") : std::string();
}

}  // namespace

LogWatch::LogWatch() : start_(LogText().size())
{
}

std::string LogWatch::Appended() const
{
    return LogText().substr(start_);
}

std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

std::string ReadWholeFile(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
