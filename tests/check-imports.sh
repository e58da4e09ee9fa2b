#!/usr/bin/env bash
# Checks the shipped launcher's PE file: a 32-bit, large-address-aware GUI
# executable without debug data or symbols, whose static imports are only
# DLLs that Windows always takes from its own folder (known DLLs), so that
# none can be planted beside it. Anything else is loaded at run time from
# the system folder.
set -euo pipefail
exe=$1
objdump=i686-w64-mingw32-objdump
headers=$($objdump -p "$exe")
fail() { echo "$*"; exit 1; }

grep -q 'file format pei-i386' <<<"$($objdump -f "$exe")" || fail "not PE32 (pei-i386)"
grep -Eq '^Magic[[:space:]]+010b' <<<"$headers" || fail "optional header is not PE32"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "subsystem is not Windows GUI"
characteristics=$(sed -n 's/^Characteristics 0x\([0-9a-f]*\)$/\1/p' <<<"$headers" | head -n 1)
(( 0x$characteristics & 0x20 )) || fail "not large-address-aware (Characteristics 0x$characteristics)"

debug=$($objdump -h "$exe" | awk '$2 ~ /^\.debug/ { print $2 }')
[ -z "$debug" ] || fail "debug sections left in the launcher: $(tr '\n' ' ' <<<"$debug")"
grep -qx 'no symbols' <<<"$($objdump -t "$exe")" || fail "the launcher has a symbol table"

# comdlg32 is a known DLL too, but the launcher loads it at run
# time all the same, so that a system without that list cannot be planted either.
known_dlls='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|rpcrt4|msvcrt|shlwapi|ws2_32|sechost|setupapi|psapi)\.dll$'
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')
[ -n "$dlls" ] || fail "no imports found"
bad=$(grep -Ev "$known_dlls" <<<"$dlls" || true)
[ -z "$bad" ] || fail "imports DLLs that could be planted beside it: $(tr '\n' ' ' <<<"$bad")"
echo "imports: $(tr '\n' ' ' <<<"$dlls")"
