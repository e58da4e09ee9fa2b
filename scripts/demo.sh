#!/usr/bin/env bash
# Builds the launcher with the demo payload and runs it under Wine in a
# virtual display: the demo product installs into the build tree's prefix.
# demo.sh /extract saves the demo package with options instead, driving the
# dialogs as an administrator would, and prints the package's Property rows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/run-i386.sh describe

build=${BUILD_DIR:-build-demo}
cmake -S . -B "$build" -DBUILD_TESTING=OFF
cmake --build "$build" -j"$(nproc)"

bash scripts/wine-session.sh start "$build"
trap 'bash scripts/wine-session.sh stop "$build"' EXIT

if [ "${1:-}" = /extract ]; then
    cmake --build "$build" --target extract_demo -j"$(nproc)"
    out=$(cd "$build" && pwd -P)/extract-demo
    rm -rf "$out" && mkdir -p "$out"
    windows_out="Z:${out//\//\\}\\"
    set +e
    launcher="Z:$(cd "$build" && pwd -P | tr / '\\')\\BrinmoorSetup.exe"
    "$build/wine-run.sh" "$build/demo/extract_demo.exe" "$launcher" \
        "${windows_out}Saved Brinmoor.msi" "$windows_out" </dev/null
    exit_code=$?
    set -e
    echo
    echo "Launcher exit code: $exit_code"
    if [ -f "$out/Saved Brinmoor.msi" ]; then
        echo "Saved package: $out/Saved Brinmoor.msi"
        echo "--- its Property table (msiinfo export)"
        msiinfo export "$out/Saved Brinmoor.msi" Property | tr -d '\r'
        echo "--- screenshots of the dialogs: $out/*.png"
    fi
    exit "$exit_code"
fi

prefix="$(pwd)/$build/wineprefix"
temp_root=$(echo "$prefix"/drive_c/users/*/Temp)
before=$(ls "$temp_root/BrinmoorSetup" 2>/dev/null || true)

set +e
"$build/wine-run.sh" "$build/BrinmoorSetup.exe"
exit_code=$?
set -e

run_folder=""
for folder in "$temp_root"/BrinmoorSetup/*/; do
    grep -qxF "$(basename "$folder")" <<<"$before" || run_folder=$folder
done

echo
echo "Per-run folder: ${run_folder:-none}"
if [ -n "$run_folder" ]; then
    echo "--- Setup.log"
    cat "$run_folder/Setup.log"
    if [ -f "$run_folder/SetupUI.log" ]; then
        echo "--- SetupUI.log (the demo front end's own log)"
        cat "$run_folder/SetupUI.log"
    fi
    echo "---"
fi
echo "Exit code: $exit_code"
installed="$prefix/drive_c/Program Files (x86)/Brinmoor/Tessolan"
if [ -d "$installed" ]; then
    echo "Installed into: $installed"
    ls -l "$installed"
else
    echo "The demo product was not installed."
fi
exit "$exit_code"
