#!/usr/bin/env bash
# Builds Varnholt, starts the bundled news portal on a free port and runs one unattended
# collection against it with sample settings, then shows where the clippings went and what the
# first of them say. Everything the run writes lives in a fresh temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/build.sh
build="${VARNHOLT_BUILD_DIR:-build}"
varnholt="$build/src/app/varnholt"
portal="$build/tools/portal/varnholt-portal"

work="$(mktemp -d "${TMPDIR:-/tmp}/varnholt-demo.XXXXXX")"
portal_pid=""
stop_portal() {
    if [ -n "$portal_pid" ]; then
        kill "$portal_pid" 2>/dev/null || true
        wait "$portal_pid" 2>/dev/null || true
    fi
}
trap stop_portal EXIT

# The portal prints "PORT <n>" first once it listens.
"$portal" --port 0 >"$work/portal.out" 2>"$work/portal.err" &
portal_pid=$!
port=""
for _ in $(seq 1 100); do
    port="$(sed -n '1s/^PORT \([0-9][0-9]*\)$/\1/p' "$work/portal.out")"
    [ -n "$port" ] && break
    kill -0 "$portal_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "demo: varnholt-portal did not start: $(cat "$work/portal.err")" >&2
    exit 1
fi

# Sample settings: the settings-folder record, varnholt.ini and KeyWord.txt (CP932, CR LF),
# as a first start and the settings window would have left them.
home="$work/home"
settings="$home/demo"
out="$work/clips"
mkdir -p "$settings" "$out" "$work/config/Kestrane SoftWares"
printf '[Varnholt]\nSettingFolder=%s\n' "$settings" >"$work/config/Kestrane SoftWares/Varnholt.conf"
printf '%s\r\n' \
    "SaveFolder = $out" \
    "SaveFileName0 = VHT" \
    "SaveFileName1 = yyyymmdd" \
    "SaveFileName2 = " \
    "IgnoreKey = 0" \
    "NoCopyINI = 0" \
    "OverWrite = 0" \
    "Yesterday = 1" \
    "NoKeyWord = 0" \
    "Category = 1,1,1,0,0,0,0,1,0,0,1,0" | iconv -f UTF-8 -t CP932 >"$settings/varnholt.ini"
printf '%s\r\n' "AI" "ロボット" "ラーメン" "コンピュータ" |
    iconv -f UTF-8 -t CP932 >"$settings/KeyWord.txt"
cp "$(dirname "$varnholt")/Default.ini" "$home/Default.ini"

echo "demo: collecting from http://127.0.0.1:$port (portal log: $work/portal.err)"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    VARNHOLT_BASE_URL="http://127.0.0.1:$port" VARNHOLT_HOME="$home" \
    XDG_CONFIG_HOME="$work/config" \
    "$varnholt" /AutoGet /HideMe </dev/null || status=$?
echo "demo: varnholt ended with status $status"

shopt -s nullglob
files=("$out"/*.qfw)
if [ ${#files[@]} -eq 0 ]; then
    echo "demo: no output file in $out" >&2
    exit 1
fi
file="${files[0]}"
echo "demo: output file: $file"
echo "demo: companion:   ${file%.qfw}.ini"
echo "demo: first records (fields end with U+0001, shown here as line breaks):"
# .qfw is one stream of U+0001-terminated fields, three per record: date and title, address, text.
tr '\001' '\n' <"$file" | iconv -f CP932 -t UTF-8 | tr -d '\r' | head -n 12 | sed 's/^/    /'
exit "$status"
