#!/usr/bin/env bash
# Collection speed and memory: a headless varnholt run (keyword "速報", one pass) against a
# generated corpus, next to curl fetching the same addresses one by one over one reused
# connection. Prints, per corpus size, the medians of three runs: varnholt wall time, curl wall
# time (asking for the same compression as varnholt), their ratio, varnholt's peak RSS, the time
# per article, and for reference curl without compression.
#   bench/collect.sh [sizes...]          default: 1000 10000
# Uses the binaries in ${VARNHOLT_BUILD_DIR:-build} (built here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/settings.sh

build="${VARNHOLT_BUILD_DIR:-build}"
varnholt="$build/src/app/varnholt"
portal="$build/tools/portal/varnholt-portal"
if [ ! -x "$varnholt" ] || [ ! -x "$portal" ]; then
    bash scripts/build.sh
fi
for tool in curl iconv; do
    command -v "$tool" >/dev/null || { echo "collect.sh: needs $tool" >&2; exit 2; }
done
if [ ! -x /usr/bin/time ]; then
    echo "collect.sh: needs GNU time (/usr/bin/time): apt-get install time" >&2
    exit 2
fi

sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000)
runs=3

work="$(mktemp -d "${TMPDIR:-/tmp}/varnholt-bench.XXXXXX")"
portal_pid=""
cleanup() {
    if [ -n "$portal_pid" ]; then
        kill "$portal_pid" 2>/dev/null || true
        wait "$portal_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }

start_portal() { # size
    "$portal" --port 0 --generate "$1" --log "$work/portal.log" >"$work/portal.out" 2>&1 &
    portal_pid=$!
    port=""
    for _ in $(seq 1 100); do
        port="$(sed -n '1s/^PORT \([0-9][0-9]*\)$/\1/p' "$work/portal.out")"
        [ -n "$port" ] && return 0
        sleep 0.1
    done
    echo "collect.sh: varnholt-portal did not start: $(cat "$work/portal.out")" >&2
    exit 1
}

stop_portal() {
    kill "$portal_pid" 2>/dev/null || true
    wait "$portal_pid" 2>/dev/null || true
    portal_pid=""
}

run_varnholt() { # -> "seconds rss_kb"
    write_settings
    local t0 t1
    t0="$(now)"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        VARNHOLT_BASE_URL="http://127.0.0.1:$port" VARNHOLT_HOME="$work/home" \
        XDG_CONFIG_HOME="$work/config" \
        /usr/bin/time -f '%M' -o "$work/rss" "$varnholt" /AutoGet /HideMe </dev/null
    t1="$(now)"
    echo "$(calc "$t1 - $t0") $(cat "$work/rss")"
}

# With the Accept-Encoding varnholt sends (replies compressed alike), or with none at all.
run_curl() { # [plain] -> seconds
    local t0 t1 encoding=(--compressed -H "Accept-Encoding: gzip, deflate")
    [ "${1:-}" = plain ] && encoding=()
    t0="$(now)"
    curl -s "${encoding[@]}" --config "$work/curl.cfg"
    t1="$(now)"
    calc "$t1 - $t0"
}

printf '%8s %10s %10s %7s %10s %12s %9s %12s\n' articles varnholt_s curl_s ratio peak_MB \
    ms_per_article requests curl_plain_s
for size in "${sizes[@]}"; do
    start_portal "$size"
    vtimes=() ctimes=() ptimes=() rsses=()
    for run in $(seq 1 "$runs"); do
        : >"$work/portal.log"
        read -r seconds rss < <(run_varnholt)
        vtimes+=("$seconds")
        rsses+=("$rss")
        if [ "$run" -eq 1 ]; then
            # The same addresses, in the same order, for curl.
            sed -n 's/^GET //p' "$work/portal.log" |
                awk -v base="http://127.0.0.1:$port" '{ printf "url = \"%s%s\"\noutput = \"/dev/null\"\n", base, $0 }' \
                    >"$work/curl.cfg"
            requests="$(grep -c '^url' "$work/curl.cfg")"
            records="$(tr -cd '\001' <"$work/out/bench.qfw" | wc -c)"
            records=$((records / 3))
            if [ "$records" -ne "$size" ]; then
                echo "collect.sh: the run wrote $records records for $size articles" >&2
            fi
        fi
        ctimes+=("$(run_curl)")
        ptimes+=("$(run_curl plain)")
    done
    stop_portal
    v="$(median "${vtimes[@]}")"
    c="$(median "${ctimes[@]}")"
    r="$(median "${rsses[@]}")"
    p="$(median "${ptimes[@]}")"
    printf '%8d %10.2f %10.2f %7.2f %10.1f %12.3f %9d %12.2f\n' "$size" "$v" "$c" \
        "$(calc "$v / $c")" "$(calc "$r / 1024")" "$(calc "$v * 1000 / $size")" "$requests" "$p"
done
