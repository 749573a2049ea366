#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it: the files it holds, lintian, the
# menu entry, the AppStream file and the manual pages. With --install it also installs the
# package (apt-get, as root or with sudo), runs systemd-analyze verify on its user units and both
# programs, then removes it and checks that none of its files is left.
set -euo pipefail
cd "$(dirname "$0")/.."
install=0
[ "${1:-}" = "--install" ] && install=1

step() { printf '\n== %s\n' "$*"; }
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

step "the package"
package="$(bash scripts/package.sh | tail -n 1)"
echo "$package"
dpkg-deb -f "$package" Package Version Architecture Maintainer Depends Recommends

step "dpkg-deb -c: the files it holds"
dpkg-deb -c "$package" | grep -v '^d' | awk '{print $6}' | sort >"$work/files"
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
grep -v '^#' tests/package/files.txt | sed "s|@MULTIARCH@|$multiarch|" | sort >"$work/expected"
cat "$work/files"
diff -u "$work/expected" "$work/files" || {
    echo "the package's files differ from tests/package/files.txt" >&2
    exit 1
}

step "lintian: no error"
lintian --fail-on error --display-info --tag-display-limit 0 "$package"

dpkg-deb -x "$package" "$work/root"
step "desktop-file-validate"
desktop-file-validate "$work/root/usr/share/applications/varnholt.desktop"

step "appstreamcli validate (no network: the screenshots are checked against docs/screenshots)"
metainfo="$work/root/usr/share/metainfo/io.github.varnholt.Varnholt.metainfo.xml"
appstreamcli validate --no-net "$metainfo"
for shot in $(grep -o 'screenshots/[^<]*\.png' "$metainfo"); do
    [ -f "docs/$shot" ] || {
        echo "$metainfo shows docs/$shot, which does not exist" >&2
        exit 1
    }
done

step "man --warnings: the manual pages render cleanly"
for page in "$work"/root/usr/share/man/man1/*.1.gz; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>"$work/warnings" >/dev/null
    if [ -s "$work/warnings" ]; then
        cat "$work/warnings" >&2
        exit 1
    fi
    echo "$(basename "$page"): no warning"
done

if [ "$install" -eq 0 ]; then
    echo
    echo "check-package: done (--install also installs it and verifies the systemd units)"
    exit 0
fi

step "apt-get install"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "$package" >/dev/null
varnholt --version
varnholt-portal --help | head -n 2
man -w varnholt varnholt-portal

step "systemd-analyze verify: the user units"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
systemd-analyze --user verify /usr/lib/systemd/user/varnholt-portal.service \
    /usr/lib/systemd/user/varnholt.service /usr/lib/systemd/user/varnholt.timer
echo "no complaint"

step "apt-get remove: nothing of the package stays"
DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y varnholt >/dev/null
left=0
while read -r file; do
    if [ -e "${file#.}" ]; then
        echo "left behind: ${file#.}" >&2
        left=1
    fi
done <"$work/files"
for folder in /usr/share/varnholt "/usr/lib/$multiarch/varnholt" /usr/share/doc/varnholt; do
    [ ! -e "$folder" ] || {
        echo "left behind: $folder" >&2
        left=1
    }
done
[ "$left" -eq 0 ] && echo "none left"
exit "$left"
