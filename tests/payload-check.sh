#!/usr/bin/env bash
# payload-check.sh <source dir>: what configuring says of a product team's
# payload folder and version settings: a missing item fails and is named, an
# extra file is named in a warning, a payload too large for a 32-bit launcher
# fails, and so does a malformed version.
set -u
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

payload="$work/payload"
mkdir -p "$payload"
for item in Brinmoor.msi DotNet.exe SetupUI.exe.config License.rtf; do echo x >"$payload/$item"; done
for locale in de en-US es fr it ja pt-BR ru zh-Hans; do
    mkdir -p "$payload/$locale"
    echo x >"$payload/$locale/SetupUI.resources.dll"
done

# configure <expected exit: ok|fail> <text the output must hold> [cmake arguments...]
configure() {
    local expect=$1 text=$2 output status
    shift 2
    rm -rf "$work/build"
    output=$(cmake -S "$source_dir" -B "$work/build" -DBUILD_TESTING=OFF -DBRINMOOR_PAYLOAD_DIR="$payload" "$@" 2>&1)
    status=$?
    output=$(tr -s ' \n' ' ' <<<"$output")
    if { [ "$expect" = ok ] && [ $status -ne 0 ]; } || { [ "$expect" = fail ] && [ $status -eq 0 ]; } \
        || ! grep -qF "$text" <<<"$output"; then
        echo "FAILED: expected configure to $expect with \"$text\"; exit $status:"
        echo "$output"
        failures=$((failures + 1))
    else
        echo "ok: $expect with \"$text\""
    fi
}

configure fail "Payload item missing: $payload/SetupUI.exe"
echo x >"$payload/SetupUI.exe"
echo x >"$payload/notes.txt"
configure ok "holds files the launcher does not carry: notes.txt"
configure fail "must be one to four numbers" -DBRINMOOR_PRODUCT_VERSION=2.x
truncate -s 1500M "$payload/DotNet.exe"
configure fail "a 32-bit launcher can carry at most"
exit $((failures > 0))
