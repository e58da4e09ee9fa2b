/* One resource satellite of SetupUI per locale; the build passes the
   locale name as SATELLITE_LOCALE, e.g. "de" or "zh-Hans".

   Tests tell the nine files apart by the ASCII bytes "LOCALE=<name>;"
   (e.g. "LOCALE=de;", "LOCALE=zh-Hans;"), which appear exactly once in each
   file. Both symbols are exported so the linker keeps them. */
#ifndef SATELLITE_LOCALE
#error SATELLITE_LOCALE must name the locale
#endif

#include <wchar.h>

__declspec(dllexport) const wchar_t SatelliteLocale[] = L"" SATELLITE_LOCALE;
__declspec(dllexport) const char SatelliteMarker[] = "LOCALE=" SATELLITE_LOCALE ";";
