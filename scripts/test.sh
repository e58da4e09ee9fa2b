#!/usr/bin/env bash
# Builds the launcher and its tests and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/arch.sh

build=${BUILD_DIR:-build-$BRINMOOR_TEST_ARCH}
cmake -S . -B "$build" -DBRINMOOR_ARCH="$BRINMOOR_TEST_ARCH"
cmake --build "$build" -j"$(nproc)"

bash scripts/wine-session.sh start "$build"
trap 'bash scripts/wine-session.sh stop "$build"' EXIT
ctest --test-dir "$build" --output-on-failure --timeout 600 -j2
