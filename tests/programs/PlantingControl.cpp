// What the launcher must not do, done on purpose: a static import of msi.dll
// and a plain LoadLibraryW of the rich edit library. Beside planted DLLs this
// program loads them, which shows that the planting test can fail.
#include <windows.h>
#include <msi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    MsiCloseHandle(0);
    return LoadLibraryW(L"riched20.dll") ? 0 : 1;
}
