#!/usr/bin/env bash
# Builds everything and runs every test; exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build="${VARNHOLT_BUILD_DIR:-build}"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
