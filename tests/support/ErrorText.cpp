#include "tests/support/ErrorText.h"

#include <stdexcept>

std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

