#!/usr/bin/env bash
# Runs every fuzz target of fuzz/ for the given number of seconds (default 60), one after the
# other, each starting from its seed corpus (fuzz/corpus/<name>), and prints the executions per
# target. Builds the targets with clang first when they are missing. Exits non-zero when a
# target crashed; the input is kept in <build>/fuzz/crashes/<name>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="${VARNHOLT_FUZZ_BUILD_DIR:-build-fuzz}"
targets=(ini headlines nextpage articletext eucjp commandline keywords charset)

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DVARNHOLT_FUZZ=ON -DVARNHOLT_SANITIZE=ON -DVARNHOLT_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=()
report=()
for name in "${targets[@]}"; do
    corpus="$build/fuzz/corpus/$name"
    crashes="$build/fuzz/crashes/$name"
    mkdir -p "$corpus" "$crashes"
    cp -n fuzz/corpus/"$name"/* "$corpus"/
    log="$build/fuzz/$name.log"
    status=0
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    report+=("$(printf '%-12s %10s executions in %ss' "$name" "${runs:-?}" "$seconds")")
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
