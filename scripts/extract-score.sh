#!/usr/bin/env bash
# Scores the main-text extraction on the hand-labelled pages: per page, over the set and over
# each kind of fault (classes.txt), character and four-character overlap F1 of
# `varnholt-portal --extract` against the labelled text. A folder of other pages may be given.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VARNHOLT_BUILD_DIR:-build}"
[ -d "$build" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target varnholt-portal extract_score
data=tests/gateway/extract/data
if [ $# -gt 0 ]; then
    "$build/bench/extract_score" "$build/tools/portal/varnholt-portal" "$1"
else
    "$build/bench/extract_score" "$build/tools/portal/varnholt-portal" "$data/pages" \
        "$data/classes.txt"
fi
