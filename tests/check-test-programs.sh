#!/usr/bin/env bash
# Checks that every Windows program of the build tree is a 32-bit (PE32, i386)
# executable: the tests run what ships, never a 64-bit stand-in.
set -euo pipefail
build=$1
count=0
while IFS= read -r -d '' exe; do
    # A test payload's deliberately invalid front end is no program at all.
    [ "$(head -c 2 "$exe" | tr -d "\0")" = MZ ] || continue
    format=$(i686-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')
    if [ "$format" != pei-i386 ]; then
        echo "not a 32-bit program ($format): $exe"
        exit 1
    fi
    count=$((count + 1))
done < <(find "$build" -path "$build/wineprefix" -prune -o -name '*.exe' -type f -print0)
[ "$count" -gt 0 ] || { echo "no programs found in $build"; exit 1; }
echo "$count programs, all PE32 (i386)"
