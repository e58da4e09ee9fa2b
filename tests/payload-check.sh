#!/usr/bin/env bash
# payload-check.sh <source dir>: configuring with a payload folder that lacks
# an item fails and names the missing item.
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

payload="$work/payload"
mkdir -p "$payload"
for item in Brinmoor.msi DotNet.exe SetupUI.exe.config; do echo x >"$payload/$item"; done
for locale in de en-US es fr it ja pt-BR ru zh-Hans; do
    mkdir -p "$payload/$locale"
    echo x >"$payload/$locale/SetupUI.resources.dll"
done

if output=$(cmake -S "$source_dir" -B "$work/build" -DBUILD_TESTING=OFF -DBRINMOOR_PAYLOAD_DIR="$payload" 2>&1); then
    echo "configure succeeded without SetupUI.exe"
    exit 1
fi
if ! grep -qF "Payload item missing: $payload/SetupUI.exe" <<<"$output"; then
    echo "configure failed without naming the missing item:"
    echo "$output"
    exit 1
fi
echo "configure names the missing item"
