#!/usr/bin/env bash
# The package on a fresh Debian 12: a debootstrapped chroot with what every Debian 12 system has
# (systemd, man-db) gets `apt-get install ./varnholt_*.deb`; then `varnholt --version`,
# `varnholt-portal --help`, `man varnholt`, systemd-analyze verify on the user units; then a user
# follows the README's "Collect today's real news" section as written, its shell blocks run one
# by one under a real systemd user manager. The internet is a stand-in (offline): the feeds file
# the service copied is replaced with one naming a fixture site on 127.0.0.1, served by the
# package's own varnholt-portal --root. Finally `apt-get remove` must leave no file behind.
#
# Run as root on a Debian machine that reaches a Debian mirror (debootstrap is installed when
# missing): tests/package/fresh-debian.sh build-package/varnholt_1.0.0_amd64.deb [base.tar]
# base.tar, a tar of a `debootstrap --variant=minbase bookworm` folder, saves the download.
set -euo pipefail
package="$(realpath "$1")"
base="${2:-}"
here="$(cd "$(dirname "$0")" && pwd)"
readme="$here/../../README.md"
[ "$(id -u)" -eq 0 ] || {
    echo "fresh-debian: run as root (debootstrap, chroot, mounts)" >&2
    exit 2
}

root="$(mktemp -d /var/tmp/varnholt-fresh.XXXXXX)"
# The user manager's own cgroup, in every hierarchy systemd uses: the unified one alone, or (on a
# hybrid layout) the named "systemd" one beside it.
if [ -f /sys/fs/cgroup/cgroup.controllers ]; then
    cgroups=("/sys/fs/cgroup/varnholt-fresh-$$")
else
    cgroups=("/sys/fs/cgroup/systemd/varnholt-fresh-$$" "/sys/fs/cgroup/unified/varnholt-fresh-$$")
fi
step() { printf '\n== %s\n' "$*"; }
cleanup() {
    [ -f "$root/run/fixture.pid" ] && kill "$(cat "$root/run/fixture.pid")" 2>/dev/null || true
    [ -f "$root/run/user-manager.pid" ] && kill "$(cat "$root/run/user-manager.pid")" 2>/dev/null || true
    sleep 1
    for mount in dev sys proc; do
        umount -R "$root/$mount" 2>/dev/null || true
    done
    for folder in "${cgroups[@]}"; do
        find "$folder" -depth -type d -exec rmdir {} + 2>/dev/null || true
    done
    rm -rf --one-file-system "$root"
}
trap cleanup EXIT

step "a fresh Debian 12 in $root"
if [ -n "$base" ]; then
    tar -C "$root" -xf "$base"
else
    command -v debootstrap >/dev/null || apt-get install -y --no-install-recommends debootstrap
    debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
fi
mount --bind /proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --make-rslave "$root/sys"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
in_root apt-get update -qq
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq --no-install-recommends \
    systemd man-db >/dev/null

step "apt-get install ./$(basename "$package")"
cp "$package" "$root/tmp/"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "./tmp/$(basename "$package")" 2>&1 | grep -E '^(Setting up|The following NEW)|varnholt' || true
in_root varnholt --version
in_root varnholt-portal --help | head -n 3
in_root man -P cat varnholt | head -n 8

step "a person's session: a user with a systemd user manager"
in_root useradd -m -s /bin/bash reader
uid="$(in_root id -u reader)"
mkdir -p "$root/run/systemd/system" "$root/run/user/$uid"
in_root chown reader: "/run/user/$uid"
chmod 700 "$root/run/user/$uid"
# As a login would set it up for reader.
reader=(setpriv --reuid="$uid" --regid="$uid" --init-groups env -i HOME=/home/reader USER=reader
    LOGNAME=reader SHELL=/bin/bash PATH=/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="/run/user/$uid")
as_reader() { chroot "$root" "${reader[@]}" "$@"; }
# The manager needs a cgroup of its own, as logind would delegate one.
for folder in "${cgroups[@]}"; do
    mkdir -p "$folder"
    chown -R "$uid:$uid" "$folder"
done
(
    for folder in "${cgroups[@]}"; do
        echo $BASHPID >"$folder/cgroup.procs"
    done
    exec chroot "$root" "${reader[@]}" /lib/systemd/systemd --user
) >"$root/run/user-manager.log" 2>&1 &
echo $! >"$root/run/user-manager.pid"
for _ in $(seq 1 50); do
    [ "$(as_reader systemctl --user is-system-running 2>/dev/null)" = running ] && break
    sleep 0.2
done
as_reader systemctl --user is-system-running

step "systemd-analyze verify on the user units"
as_reader systemd-analyze --user verify /usr/lib/systemd/user/varnholt-portal.service \
    /usr/lib/systemd/user/varnholt.service /usr/lib/systemd/user/varnholt.timer
echo "no complaint"

step "the stand-in internet: a feed and its article pages on 127.0.0.1:8700"
site="$root/srv/fixture"
mkdir -p "$site/news"
printf 'User-agent: *\nAllow: /\n' >"$site/robots.txt"
now="$(date -R)"
feed() { # <first item> <last item> <title>
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>\n'
    printf '<title>試験ニュース</title><link>http://127.0.0.1:8700/</link>\n'
    for n in $(seq "$1" "$2"); do
        printf '<item><title>試験の記事 %s: %s</title>' "$n" "$3"
        printf '<link>http://127.0.0.1:8700/news/%s</link><pubDate>%s</pubDate>' "$n" "$now"
        printf '<description>記事 %s の要約です。</description></item>\n' "$n"
    done
    printf '</channel></rss>\n'
}
feed 1 3 新しい駅が開業 >"$site/domestic.xml"
feed 4 5 海外の港が拡張 >"$site/world.xml"
for n in 1 2 3; do
    {
        printf '<!DOCTYPE html><html lang="ja"><head><meta charset="EUC-JP">'
        printf '<title>試験の記事 %s</title></head><body><nav>ホーム ニュース 天気</nav>' "$n"
        printf '<article><h1>試験の記事 %s: 新しい駅が開業</h1>' "$n"
        for p in 1 2 3; do
            printf '<p>市の中心部に新しい駅が開業し、朝から多くの人が訪れました。駅の周りには商店が並び、'
            printf '市は今後十年で利用者を二倍に増やす計画を立てています。段落 %s。</p>' "$p"
        done
        printf '</article><footer>著作権 試験ニュース</footer></body></html>\n'
    } >"$site/news/$n.html"
done
cat >"$root/srv/feeds.ini" <<'EOF'
# The stand-in for the shipped feeds file: two feeds on the fixture site, article pages cut by
# automatic extraction ([dom]) and the feed's own text ([int]).
[portal]
contact = reader@example.org
refresh = 0
delay = 100

[dom]
feeds = http://127.0.0.1:8700/domestic.xml

[int]
feeds = http://127.0.0.1:8700/world.xml
text = feed
EOF
chroot "$root" varnholt-portal --root /srv/fixture --port 8700 >/dev/null 2>"$root/run/fixture.log" &
echo $! >"$root/run/fixture.pid"

step "the README's \"Collect today's real news\", as reader"
# The README's shell blocks of that section, one file each.
mkdir -p "$root/tmp/readme"
awk -v out="$root/tmp/readme/block" '
    /^## / { inside = ($0 == "## Collect today'"'"'s real news") }
    inside && /^ *```sh$/ { n++; copying = 1; next }
    inside && copying && /^ *```$/ { copying = 0; next }
    copying { sub(/^   /, ""); print > (out n) }
' "$readme"
ls "$root/tmp/readme"
run_block() {
    echo "\$ $(cat "$root/tmp/readme/block$1")"
    as_reader bash -e "/tmp/readme/block$1" </dev/null
}
run_block 1
for _ in $(seq 1 50); do
    [ "$(as_reader systemctl --user is-active varnholt-portal.service)" = active ] && break
    sleep 0.2
done
as_reader systemctl --user --no-pager status varnholt-portal.service | head -n 12 || true
echo "-- the service made the person's own feeds file:"
as_reader ls -l /home/reader/.config/varnholt/feeds.ini
as_reader cmp /usr/share/varnholt/feeds/ja-news.ini /home/reader/.config/varnholt/feeds.ini
echo "-- offline: the fixture feeds in its place, and the restart step 1 asks for"
install -o "$uid" -g "$uid" -m 644 "$root/srv/feeds.ini" "$root/home/reader/.config/varnholt/feeds.ini"
as_reader systemctl --user restart varnholt-portal.service
run_block 2
status=0
run_block 3 || status=$?
echo "-- varnholt ended with status $status"
[ "$status" -eq 0 ]
output="$(ls "$root"/home/reader/.local/share/Varnholt/VHT*.qfw)"
echo "-- $output, first records decoded:"
tr '\001' '\n' <"$output" | iconv -f CP932 -t UTF-8 | tr -d '\r' | head -n 6

step "the installed windows module and Default.ini from /usr/share/varnholt"
# A display (offscreen) loads the windows module; with the companion INI switched on, the run
# copies the shipped Default.ini beside its output.
settings=/home/reader/.local/share/Varnholt/reader/varnholt.ini
as_reader sed -i 's/^NoCopyINI = 1/NoCopyINI = 0/' "$settings"
as_reader env QT_QPA_PLATFORM=offscreen varnholt /AutoGet /HideMe /IgnoreKey /F1window </dev/null
companion="$(ls "$root"/home/reader/.local/share/Varnholt/window*.ini)"
cmp "$companion" "$root/usr/share/varnholt/Default.ini"
echo "$(basename "$companion") is the shipped Default.ini"
as_reader sed -i 's/^NoCopyINI = 0/NoCopyINI = 1/' "$settings"

step "the morning run, as the timer starts it"
as_reader systemctl --user --no-pager list-timers varnholt.timer
as_reader systemctl --user start varnholt.service || true
# status answers 3 for a unit that is not running, as a oneshot after its run.
as_reader systemctl --user --no-pager status varnholt.service | head -n 8 || true
if as_reader systemctl --user is-failed --quiet varnholt.service; then
    echo "varnholt.service failed" >&2
    exit 1
fi

step "apt-get remove: no file of the package is left"
as_reader systemctl --user stop varnholt-portal.service
DEBIAN_FRONTEND=noninteractive in_root apt-get remove -y varnholt >/dev/null
left=0
while read -r file; do
    if [ -e "$root/${file#./}" ]; then
        echo "left behind: /${file#./}" >&2
        left=1
    fi
done < <(dpkg-deb -c "$package" | grep -v '^d' | awk '{print $6}')
for folder in usr/share/varnholt usr/lib/*/varnholt usr/share/doc/varnholt; do
    if [ -e "$root/$folder" ]; then
        echo "left behind: /$folder" >&2
        left=1
    fi
done
[ "$left" -eq 0 ] && echo "none left"
exit "$left"
