#pragma once

#include <string>

// setupLog can be opened once per process: it is opened before the first test
// in a folder kept until the last, and each watch reads what was appended
// since it was made.
class LogWatch {
public:
    LogWatch();
    std::string Appended() const;

private:
    size_t start;
};
