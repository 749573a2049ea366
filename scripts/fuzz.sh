#!/usr/bin/env bash
# Runs every fuzz target of fuzz/ for the given number of seconds (default 60), one after the
# other, each starting from its seed corpus (fuzz/corpus/<name>, plus the test fixtures named
# below), and prints the executions and the slowest input's time per target. Builds the targets
# with clang first when they are missing. Exits non-zero when a target crashed, hung or broke a
# property; the input is kept in <build>/fuzz/crashes/<name>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="${VARNHOLT_FUZZ_BUILD_DIR:-build-fuzz}"
targets=(ini headlines nextpage articletext eucjp commandline keywords charset)
# The gateway's, when it is built (not with -DVARNHOLT_BUILD_PORTAL=OFF).
gateway_targets=(feed feedsfile feeddate robots retryafter maintext jsonld)

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DVARNHOLT_FUZZ=ON -DVARNHOLT_SANITIZE=ON -DVARNHOLT_BUILD_TESTS=OFF >/dev/null
fi
if grep -q '^VARNHOLT_BUILD_PORTAL:BOOL=ON' "$build/CMakeCache.txt"; then
    targets+=("${gateway_targets[@]}")
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# Seeds that live with the tests, trimmed to small ones: the labelled article pages, the shipped
# feeds file.
fixture_seeds() {
    case "$1" in
    maintext | jsonld) ls tests/gateway/extract/data/pages/*.html ;;
    feedsfile) echo data/feeds/ja-news.ini ;;
    esac
}

failed=()
report=()
for name in "${targets[@]}"; do
    corpus="$build/fuzz/corpus/$name"
    crashes="$build/fuzz/crashes/$name"
    mkdir -p "$corpus" "$crashes"
    cp -n fuzz/corpus/"$name"/* "$corpus"/
    for seed in $(fixture_seeds "$name"); do
        [ -e "$corpus/${seed##*/}" ] || head -c 16384 "$seed" >"$corpus/${seed##*/}"
    done
    log="$build/fuzz/$name.log"
    status=0
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    slowest=$(sed -n 's/^stat::slowest_unit_time_sec: *//p' "$log" | tail -1)
    report+=("$(printf '%-12s %10s executions in %ss, slowest input %ss' "$name" "${runs:-?}" \
        "$seconds" "${slowest:-?}")")
    if [ "$status" -ne 0 ]; then
        failed+=("$name")
        tail -40 "$log" >&2
    fi
done
printf '%s\n' "${report[@]}"
if ((${#failed[@]})); then
    echo "fuzz: crashes in ${failed[*]} (inputs in $build/fuzz/crashes/)" >&2
    exit 1
fi
