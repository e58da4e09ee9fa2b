#!/usr/bin/env bash
# Builds the shipped 32-bit launcher and its tests and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/run-i386.sh describe

build=${BUILD_DIR:-build-test}
cmake -S . -B "$build"
cmake --build "$build" -j"$(nproc)"

bash scripts/wine-session.sh start "$build"
trap 'bash scripts/wine-session.sh stop "$build"' EXIT
ctest --test-dir "$build" --output-on-failure --timeout 600 -j2
