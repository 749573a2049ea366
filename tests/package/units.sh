#!/usr/bin/env bash
# varnholt-portal.service gives each person their own feeds file: its first start copies the
# shipped one to the path the gateway then reads, and later starts leave the person's edits as
# they are. The unit's commands are run here as systemd would run them.
# Usage: units.sh <folder with the configured units> <the shipped feeds file's installed path>
#        <a feeds file to ship in its place>
set -uo pipefail
units="$1" installed="$2" shipped="$3"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# systemd's own expansions in a command line: specifiers (%E: the person's configuration folder)
# and "$$" for a dollar sign.
command_of() { # <unit> <key>
    sed -n "s/^$2=//p" "$units/$1" | sed -e "s|%E|$work/config|g" -e "s|%C|$work/cache|g" \
        -e 's/\$\$/$/g' -e "s|$installed|$shipped|g"
}
pre="$(command_of varnholt-portal.service ExecStartPre)"
start="$(command_of varnholt-portal.service ExecStart)"
[ -n "$pre" ] || fail "varnholt-portal.service has no ExecStartPre"
own="$(sed -n 's/.*--feeds \([^ ]*\).*/\1/p' <<<"$start")"
[ "$own" = "$work/config/varnholt/feeds.ini" ] ||
    fail "the gateway reads \"$own\", not the person's feeds file"

eval "$pre" || fail "first start: ExecStartPre failed"
cmp -s "$shipped" "$own" || fail "first start: $own is not a copy of the shipped file"

printf 'contact = me@example.org\n' >>"$own"
edited="$(cat "$own")"
eval "$pre" || fail "second start: ExecStartPre failed"
[ "$(cat "$own")" = "$edited" ] || fail "second start: the person's edits were overwritten"

exit "$failed"
