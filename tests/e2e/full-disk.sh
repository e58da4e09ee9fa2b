#!/usr/bin/env bash
# full-disk.sh mount|unmount <folder>: a 2 MiB tmpfs that the full-disk test
# uses as its temporary folder. Without the rights to mount, the test skips.
set -u
folder=$2
case $1 in
mount)
    mkdir -p "$folder"
    mountpoint -q "$folder" && umount "$folder"
    if mount -t tmpfs -o size=2m tmpfs "$folder" 2>/dev/null; then
        mkdir -p "$folder/temp"
        : >"$folder/mounted"
        echo "mounted a 2 MiB tmpfs at $folder"
    else
        echo "cannot mount a tmpfs here; the full-disk case will be skipped"
    fi
    ;;
unmount)
    mountpoint -q "$folder" && umount "$folder"
    ;;
esac
exit 0
