#!/bin/sh
# Saves each window (settings window per page, fetch, debug, about) as a PNG in docs/screenshots,
# drawn by a virtual X server with the Japanese fonts a desktop would have.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-gui}
out=$root/docs/screenshots

missing=""
command -v Xvfb >/dev/null 2>&1 || missing="$missing xvfb"
command -v xvfb-run >/dev/null 2>&1 || missing="$missing xvfb"
fc-list 2>/dev/null | grep -qi "Noto Sans CJK" || missing="$missing fonts-noto-cjk"
if [ -n "$missing" ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends $missing
fi

cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target varnholt_screenshots -j2
mkdir -p "$out"
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY LANG=ja_JP.UTF-8 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
    "$build/tests/ui/varnholt_screenshots" "$out"
