#!/usr/bin/env bash
# Checks that the launcher is a 32-bit GUI executable that imports only
# DLLs every Windows system has.
set -euo pipefail
exe=$1
headers=$(i686-w64-mingw32-objdump -p "$exe")

grep -q 'file format pei-i386' <<<"$(i686-w64-mingw32-objdump -f "$exe")" || { echo "not PE32 (pei-i386)"; exit 1; }
grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || { echo "optional header is not PE32"; exit 1; }
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || { echo "subsystem is not Windows GUI"; exit 1; }

system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|imagehlp|rpcrt4|msi|msvcrt|shlwapi|version|ws2_32|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || { echo "no imports found"; exit 1; }
bad=$(grep -Ev "$system_dlls" <<<"$dlls" || true)
if [ -n "$bad" ]; then
    echo "imports DLLs that are not part of Windows: $bad"
    exit 1
fi
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
