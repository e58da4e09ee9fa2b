#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
updated=false
# A mirror caught mid-sync fails one index ("File has unexpected size") and
# apt-get update exits 100 although every other index is fresh. It is tried
# again a few times; if one index still fails, the install below says so
# loudly should a package really be missing.
refresh_indexes() {
    local attempt
    for attempt in 1 2 3; do
        apt-get update -q && return 0
        [ "$attempt" = 3 ] || sleep 10
    done
    echo "setup-debian.sh: apt-get update failed for some index; going on with the indexes it has" >&2
}
update() { $updated || refresh_indexes; updated=true; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

for p in cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb \
         msitools wixl python3 python3-pefile googletest imagemagick osslsigncode openssl; do
    have "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    update
    apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# This kernel may not run 32-bit x86 code; then qemu-user runs 32-bit Wine,
# and only qemu 10 or later can (Debian 12's own 7.2 cannot). The backports
# suite is added from the archive this machine already uses, at its default
# low priority, so nothing but the one package comes from it.
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
if [ -z "$qemu_version" ] || dpkg --compare-versions "$qemu_version" lt 1:10; then
    update
    if ! apt-cache policy | grep -q ' bookworm-backports/main '; then
        archive=$(apt-cache policy | awk '$3 == "bookworm/main" { print $2; exit }')
        [ -n "$archive" ] || { echo "no Debian bookworm archive is configured for apt" >&2; exit 1; }
        keyring=/usr/share/keyrings/debian-archive-keyring.gpg
        options=""
        [ -f "$keyring" ] && options="[signed-by=$keyring] "
        echo "deb ${options}$archive bookworm-backports main" >/etc/apt/sources.list.d/bookworm-backports.list
        refresh_indexes
    fi
    apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user
fi
