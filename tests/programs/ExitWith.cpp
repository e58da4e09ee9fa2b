// Ends with the exit code given as its argument (decimal, or hex with 0x);
// "crash" ends it with an unhandled access violation instead.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    if (std::wcscmp(commandLine, L"crash") == 0)
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    return static_cast<int>(static_cast<unsigned long>(wcstoll(commandLine, nullptr, 0)));
}
