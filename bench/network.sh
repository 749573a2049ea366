#!/usr/bin/env bash
# Collection over a network, side by side: varnholt with one and with four connections (and
# eight through the delay), curl fetching the same addresses over one kept-alive connection (and
# through the delay also over four in parallel, in no order, as the floor for four), and
# a Scrapy spider doing the same job with Scrapy's defaults (bench/portal_spider.py). The pages
# are a generated corpus dumped to a folder and served by nginx without compression, on loopback
# and through a proxy adding 10 ms of round trip (bench/delay_proxy.py). Every contender's .csv
# is checked byte for byte against varnholt's one-connection output.
#
# Prints per setting the median wall time of the rounds, the ratio to curl, the peak RSS, and
# the requests and connections nginx saw; then varnholt's start-up time with nothing ticked.
#   bench/network.sh [rounds]          default 5 rounds (at least 5 for the published figures)
# Corpora: M = 500 articles on 30 list pages, L = 5,000 on 270. Installs nginx-light, python3-scrapy and time when
# missing (as root). Uses the binaries in ${VARNHOLT_BUILD_DIR:-build}.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/settings.sh
bench="$(pwd)/bench"

rounds="${1:-5}"
build="${VARNHOLT_BUILD_DIR:-build}"
varnholt="$(pwd)/$build/src/app/varnholt"
portal="$(pwd)/$build/tools/portal/varnholt-portal"
[ -x "$varnholt" ] && [ -x "$portal" ] || bash scripts/build.sh

# Debian's own interpreter, where Debian's Scrapy lives (a python3 earlier on PATH may not have it).
py=/usr/bin/python3
[ -x "$py" ] || py=python3
missing=()
command -v nginx >/dev/null || [ -x /usr/sbin/nginx ] || missing+=(nginx-light)
"$py" -c 'import scrapy' 2>/dev/null || missing+=(python3-scrapy)
[ -x /usr/bin/time ] || missing+=(time)
command -v curl >/dev/null || missing+=(curl)
command -v iconv >/dev/null || missing+=(libc-bin)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "network.sh: needs ${missing[*]}: apt-get install ${missing[*]}" >&2
        exit 2
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >/dev/null
fi
nginx_bin="$(command -v nginx || echo /usr/sbin/nginx)"

work="$(mktemp -d "${TMPDIR:-/tmp}/varnholt-net.XXXXXX")"
chmod 755 "$work" # nginx's workers read the corpus as another user
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    [ -n "${VARNHOLT_BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }
median() { printf '%s\n' "$@" | sort -g | sed -n "$((($# + 1) / 2))p"; }

wait_port() { # file -> port
    local port=""
    for _ in $(seq 1 100); do
        port="$(sed -n 's/^PORT \([0-9][0-9]*\)$/\1/p' "$1" 2>/dev/null | head -1)"
        [ -n "$port" ] && { echo "$port"; return 0; }
        sleep 0.1
    done
    echo "network.sh: no PORT line in $1: $(cat "$1")" >&2
    exit 1
}

measure() { # command... -> "seconds rss_kb" (the command's output goes to $work/last.out)
    local t0 t1
    t0="$(now)"
    /usr/bin/time -f '%M' -o "$work/rss" "$@" >"$work/last.out" 2>&1 </dev/null
    t1="$(now)"
    echo "$(calc "$t1 - $t0") $(tail -1 "$work/rss")"
}

run_varnholt() { # base connections
    write_settings "" "$2"
    measure env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VARNHOLT_BASE_URL="$1" \
        VARNHOLT_HOME="$work/home" XDG_CONFIG_HOME="$work/config" "$varnholt" /AutoGet /HideMe /csv
}

# The corpus as files: varnholt reads it from the portal once, every page it asked for is saved
# under the path it was asked by ("/x/" becomes /x/index.html), and its output is the reference.
dump_corpus() { # articles folder
    local articles="$1" folder="$2"
    "$portal" --port 0 --generate "$articles" --page-size 19 --log "$work/portal.log" >"$work/portal.out" 2>&1 &
    local pid=$!
    pids+=("$pid")
    local port
    port="$(wait_port "$work/portal.out")"
    : >"$work/portal.log"
    run_varnholt "http://127.0.0.1:$port" 1 >/dev/null
    cp "$work/out/bench.csv" "$folder.expected"
    sed -i "s|http://127.0.0.1:$port|BASE|g" "$folder.expected"
    sed -n 's/^GET //p' "$work/portal.log" >"$folder.paths"
    mkdir -p "$folder"
    awk -v base="http://127.0.0.1:$port" -v folder="$folder" '{
        file = $0; if (file ~ /\/$/) file = file "index.html"
        printf "url = \"%s%s\"\noutput = \"%s%s\"\n", base, $0, folder, file }' \
        "$folder.paths" >"$work/dump.cfg"
    curl -s --create-dirs --config "$work/dump.cfg"
    chmod -R a+rX "$folder"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

start_nginx() { # folder; sets port (no command substitution: the server would hold its output)
    port="$("$py" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    mkdir -p "$work/nginx"
    cat >"$work/nginx/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 1024; }
http {
    log_format bench '\$connection \$request_uri';
    access_log $work/nginx/access.log bench;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    types { }
    default_type "text/html; charset=EUC-JP";
    gzip off;
    # sendfile makes this nginx answer several connections at once far slower than one, which
    # would measure the server rather than its clients.
    sendfile off;
    tcp_nodelay on;
    keepalive_requests 1000000;
    keepalive_timeout 60s;
    server {
        listen 127.0.0.1:$port;
        root $1;
        index index.html;
    }
}
CONF
    "$nginx_bin" -c "$work/nginx/nginx.conf" -p "$work/nginx" >/dev/null 2>>"$work/nginx/stderr" &
    pids+=("$!")
    for _ in $(seq 1 50); do
        curl -s -o /dev/null "http://127.0.0.1:$port/" 2>/dev/null && break
        sleep 0.1
    done
    : >"$work/nginx/access.log"
}

start_proxy() { # upstream port; sets proxy_port
    "$py" "$bench/delay_proxy.py" 0 "$1" 10 >"$work/proxy.out" 2>&1 &
    pids+=("$!")
    proxy_port="$(wait_port "$work/proxy.out")"
}

curl_config() { # base folder: every address the run asked for, bodies thrown away
    awk -v base="$1" '{ printf "url = \"%s%s\"\noutput = \"/dev/null\"\n", base, $0 }' \
        "$2.paths" >"$work/curl.cfg"
}

# One contender's run; appends "seconds rss requests connections" to $work/<name>.results.
contender() { # name base folder
    local name="$1" base="$2" folder="$3" result output="" before after
    before="$(wc -l <"$work/nginx/access.log")"
    case "$name" in
    varnholt*) result="$(run_varnholt "$base" "${name#varnholt}")"; output="$work/out/bench.csv" ;;
    curl)
        curl_config "$base" "$folder"
        result="$(measure curl -s --config "$work/curl.cfg")" ;;
    curl4) # the floor for four connections: curl's own parallel transfers, in no order
        curl_config "$base" "$folder"
        result="$(measure curl -s --parallel --parallel-max 4 --config "$work/curl.cfg")" ;;
    scrapy)
        rm -f "$work/scrapy.csv"
        result="$(cd "$work" && measure "$py" -m scrapy runspider "$bench/portal_spider.py" \
            -a base="$base" -a out="$work/scrapy.csv")"
        output="$work/scrapy.csv" ;;
    esac
    after="$(wc -l <"$work/nginx/access.log")"
    local lines requests connections
    lines="$(sed -n "$((before + 1)),${after}p" "$work/nginx/access.log")"
    requests="$(printf '%s\n' "$lines" | grep -c . || true)"
    connections="$(printf '%s\n' "$lines" | awk 'NF { print $1 }' | sort -u | wc -l)"
    if [ -n "$output" ] && ! sed "s|$base|BASE|g" "$output" | cmp -s - "$folder.expected"; then
        echo "network.sh: $name's output differs from the expected one ($folder.expected)" >&2
        exit 1
    fi
    echo "$result $requests $connections" >>"$work/$name.results"
}

report() { # setting contenders...
    local setting="$1" curl_median
    shift
    curl_median="$(median $(awk '{ print $1 }' "$work/curl.results"))"
    for name in "$@"; do
        local t rss req con
        t="$(median $(awk '{ print $1 }' "$work/$name.results"))"
        rss="$(median $(awk '{ print $2 }' "$work/$name.results"))"
        req="$(median $(awk '{ print $3 }' "$work/$name.results"))"
        con="$(median $(awk '{ print $4 }' "$work/$name.results"))"
        printf '%-14s %-10s %9.3f %8.2f %9.1f %9d %6d\n' "$setting" "$name" "$t" \
            "$(calc "$t / $curl_median")" "$(calc "$rss / 1024")" "$req" "$con"
    done
    if [ -f "$work/scrapy.results" ]; then
        local v4 s
        v4="$(median $(awk '{ print $1 }' "$work/varnholt4.results"))"
        s="$(median $(awk '{ print $1 }' "$work/scrapy.results"))"
        printf '%-14s varnholt4 / scrapy: %.2f\n' "$setting" "$(calc "$v4 / $s")"
    fi
    rm -f "$work"/*.results
}

bench_setting() { # label folder network(loopback|delay) contenders...
    local label="$1" folder="$2" network="$3" base
    shift 3
    start_nginx "$folder"
    base="http://127.0.0.1:$port"
    if [ "$network" = delay ]; then
        start_proxy "$port"
        base="http://127.0.0.1:$proxy_port"
    fi
    for _ in $(seq 1 "$rounds"); do
        for name in "$@"; do
            contender "$name" "$base" "$folder"
        done
    done
    report "$label" "$@"
    # nginx and the proxy of this setting end here; the next setting starts its own.
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pids=()
}

dump_corpus 500 "$work/M"
dump_corpus 5000 "$work/L"

echo "rounds: $rounds; medians; ratio = time / curl's time over one connection in the same setting"
printf '%-14s %-10s %9s %8s %9s %9s %6s\n' setting contender seconds ratio peak_MiB requests conns
bench_setting "M loopback" "$work/M" loopback varnholt1 varnholt4 curl scrapy
bench_setting "M +10ms" "$work/M" delay varnholt1 varnholt4 varnholt8 curl curl4 scrapy
bench_setting "L loopback" "$work/L" loopback varnholt1 varnholt4 curl

# Start-up: nothing ticked, so no page is asked for.
startups=()
for _ in $(seq 1 "$rounds"); do
    write_settings 0,0,0,0,0,0,0,0,0,0,0,0 4
    read -r seconds _ < <(measure env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        VARNHOLT_BASE_URL=http://127.0.0.1:9 VARNHOLT_HOME="$work/home" \
        XDG_CONFIG_HOME="$work/config" "$varnholt" /AutoGet /HideMe /csv)
    startups+=("$seconds")
done
printf 'start-up, nothing ticked: %.1f ms\n' "$(calc "$(median "${startups[@]}") * 1000")"
