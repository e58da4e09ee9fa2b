#pragma once

#include <functional>
#include <string>

// The text of the runtime error `action` throws, or "no error".
std::string ErrorText(const std::function<void()>& action);

