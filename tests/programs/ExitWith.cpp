// Ends with the exit code given as its argument (decimal, or hex with 0x).
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int)
{
    return static_cast<int>(static_cast<unsigned long>(wcstoll(commandLine, nullptr, 0)));
}
