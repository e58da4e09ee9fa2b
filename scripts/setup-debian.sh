#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root).
set -euo pipefail

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

for p in cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb \
         msitools wixl python3 python3-pefile googletest; do
    have "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${need[@]}"
fi
