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

# The settings window at twice the scale on a 1280x900 screen, where it has to shrink to fit.
scaled=$(mktemp -d)
trap 'rm -rf "$scaled"' EXIT
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY LANG=ja_JP.UTF-8 QT_SCALE_FACTOR=2 \
    xvfb-run -a -s "-screen 0 1280x900x24 -dpi 96" \
    "$build/tests/ui/varnholt_screenshots" "$scaled" >/dev/null
for page in "$scaled"/settings-*.png; do
    name=$(basename "$page" .png)
    cp "$page" "$out/$name-scale2.png"
    echo "$out/$name-scale2.png"
done
