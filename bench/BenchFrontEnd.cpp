// The front end of the large-payload benchmark: writes when it started and
// when it ended, as QueryPerformanceCounter ticks (one clock for every
// process of the machine), into %TEMP%\bench-frontend.txt, and ends at once.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

long long Ticks()
{
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const long long started = Ticks();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    FILE* record = _wfopen((std::wstring(temp) + L"bench-frontend.txt").c_str(), L"w");
    if (!record)
        return 1;
    std::fprintf(record, "started=%lld\n", started);
    std::fprintf(record, "ended=%lld\n", Ticks());
    std::fclose(record);
    return 0;
}
