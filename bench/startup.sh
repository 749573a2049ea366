#!/usr/bin/env bash
# Start-up: a headless varnholt run with nothing ticked (so no page is asked for: what is left is
# loading, the start-up, the output and the saves), next to curl's own start-up (curl fetching a
# small file:// address), interleaved in one invocation so that both see the same machine.
# Prints the median and quartiles of the wall time of each, their ratio, and the CPU time (user +
# system) per run. No server is needed.
#   bench/startup.sh [runs]            default 21 (at least 20 for the published figures)
# Uses the binary in ${VARNHOLT_BUILD_DIR:-build} (built there when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/settings.sh

runs="${1:-21}"
build="${VARNHOLT_BUILD_DIR:-build}"
case "$build" in /*) ;; *) build="$(pwd)/$build" ;; esac
varnholt="$build/src/app/varnholt"
[ -x "$varnholt" ] || bash scripts/build.sh
for tool in curl iconv; do
    command -v "$tool" >/dev/null || { echo "startup.sh: needs $tool" >&2; exit 2; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/varnholt-startup.XXXXXX")"
trap 'rm -rf "$work"' EXIT
printf 'x\n' >"$work/page.html"

run_varnholt() {
    (
        unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
        export VARNHOLT_BASE_URL=http://127.0.0.1:9 VARNHOLT_HOME="$work/home" \
            XDG_CONFIG_HOME="$work/config"
        exec "$varnholt" /AutoGet /HideMe /csv
    ) </dev/null >/dev/null 2>"$work/varnholt.err"
}

run_curl() {
    (exec curl -s -o /dev/null "file://$work/page.html") </dev/null >/dev/null 2>&1
}

# Children's CPU time (user + system) in milliseconds, from the output of the shell's `times`.
cpu_ms() { # file
    sed -n 2p "$1" | awk '{
        total = 0
        for (i = 1; i <= 2; i++) { split($i, p, "m"); sub("s", "", p[2]); total += p[1] * 60 + p[2] }
        printf "%.3f", total * 1000 }'
}

# One timed run of a contender; appends its wall milliseconds to $work/<name>.wall and its CPU
# milliseconds to $work/<name>.cpu. Only shell builtins run between the two readings.
timed() { # name
    local t0 t1
    times >"$work/times.before"
    t0="$EPOCHREALTIME"
    "run_$1"
    t1="$EPOCHREALTIME"
    times >"$work/times.after"
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", (b - a) * 1000 }' >>"$work/$1.wall"
    awk -v a="$(cpu_ms "$work/times.before")" -v b="$(cpu_ms "$work/times.after")" \
        'BEGIN { printf "%.3f\n", b - a }' >>"$work/$1.cpu"
}

quantile() { # file q -> the value at that quantile (nearest rank)
    sort -g "$1" | awk -v q="$2" '{ v[NR] = $1 } END { i = int(q * (NR - 1) + 0.5) + 1; print v[i] }'
}

# Settings with every category unticked, written afresh before each run, outside the timed part.
# Once untimed: the files come into the page cache and a failing run shows before any figure.
write_settings 0,0,0,0,0,0,0,0,0,0,0,0 4
if ! run_varnholt; then
    echo "startup.sh: varnholt failed: $(cat "$work/varnholt.err")" >&2
    exit 1
fi
run_curl

for _ in $(seq 1 "$runs"); do
    write_settings 0,0,0,0,0,0,0,0,0,0,0,0 4
    timed varnholt
    timed curl
done
grep -q 'every page fetched' "$work/varnholt.err" ||
    { echo "startup.sh: unexpected summary: $(cat "$work/varnholt.err")" >&2; exit 1; }

echo "runs: $runs, interleaved; wall time in ms: median [first quartile, third quartile]; CPU: median"
for name in varnholt curl; do
    printf '%-9s %7.1f [%5.1f, %5.1f]   CPU %5.1f\n' "$name" "$(quantile "$work/$name.wall" 0.5)" \
        "$(quantile "$work/$name.wall" 0.25)" "$(quantile "$work/$name.wall" 0.75)" \
        "$(quantile "$work/$name.cpu" 0.5)"
done
awk -v v="$(quantile "$work/varnholt.wall" 0.5)" -v c="$(quantile "$work/curl.wall" 0.5)" \
    'BEGIN { printf "ratio (median wall, varnholt / curl): %.2f\n", v / c }'
