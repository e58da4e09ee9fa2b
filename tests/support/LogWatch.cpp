#include "tests/support/LogWatch.h"

#include <gtest/gtest.h>

#include <memory>

#include "log/SetupLog.h"
#include "tests/support/TempFolder.h"

namespace {

std::unique_ptr<TempFolder> logFolder;

// The log is closed before its folder goes, or the open file would keep it.
class LogEnvironment : public testing::Environment {
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

testing::Environment* const logEnvironment = testing::AddGlobalTestEnvironment(new LogEnvironment);

std::string LogText()
{
    return logFolder ? logFolder->ReadFile(L"Setup.log") : std::string();
}

}  // namespace

LogWatch::LogWatch() : start(LogText().size())
{
}

std::string LogWatch::Appended() const
{
    return LogText().substr(start);
}
