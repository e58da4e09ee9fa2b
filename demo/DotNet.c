/* Stands in for the .NET Framework installer in the demo payload: the
   runtime is assumed present, so there is nothing to do but succeed. */
#include <windows.h>
#include <wchar.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show)
{
    (void)instance;
    (void)previous;
    (void)show;
    if (commandLine && wcsstr(commandLine, L"/?"))
        MessageBoxW(NULL,
                    L"This is the demonstration stand-in for the .NET Framework installer.\n"
                    L"It installs nothing and always succeeds.",
                    L"Brinmoor Tessolan", MB_OK | MB_ICONINFORMATION);
    return 0;
}
