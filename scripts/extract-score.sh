#!/usr/bin/env bash
# Scores the main-text extraction on the hand-labelled pages: per page and over the set,
# character and word overlap F1 of `varnholt-portal --extract` against the labelled text.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VARNHOLT_BUILD_DIR:-build}"
[ -d "$build" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target varnholt-portal extract_score
"$build/bench/extract_score" "$build/tools/portal/varnholt-portal" \
    "${1:-tests/gateway/extract/data/pages}"
