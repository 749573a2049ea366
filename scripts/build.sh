#!/usr/bin/env bash
# Configures and builds into build/ (or $VARNHOLT_BUILD_DIR); $VARNHOLT_CMAKE_ARGS adds options.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build="${VARNHOLT_BUILD_DIR:-build}"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VARNHOLT_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
