// Keeps one window open for the whole test session. Wine's desktop process
// ends a few seconds after the last window closes, and every windowed program
// started after that waits tens of seconds for it to come back.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"Brinmoor test desktop keeper", WS_POPUP, 0, 0, 1, 1,
                                  nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
