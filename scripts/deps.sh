#!/usr/bin/env bash
# Installs the Debian packages Varnholt builds and runs with, only those that are missing.
# With --clang also clang and its runtimes (sanitizers, libFuzzer) for the sanitizer and fuzz
# builds; with --package also what makes and checks the Debian package.
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    libcurl4-openssl-dev libcpp-httplib-dev libxml2-dev libsqlite3-dev zlib1g-dev
    fonts-dejavu-core curl time clang-format ccache
    dbus-daemon scdoc man-db
)
case "${1:-}" in
--clang) packages+=(clang libclang-rt-14-dev) ;;
--package) packages+=(dpkg-dev file lintian appstream desktop-file-utils systemd) ;;
esac
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}" >&2
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
