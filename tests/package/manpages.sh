#!/usr/bin/env bash
# The manual pages render without a warning from man, and name every switch and option that
# `varnholt --help` and `varnholt-portal --help` list.
# Usage: manpages.sh <folder with varnholt.1 and varnholt-portal.1> <varnholt> [<varnholt-portal>]
set -uo pipefail
pages="$1" varnholt="$2" portal="${3:-}"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

# What a reader sees, as plain text; warnings of man and groff go to the second file.
render() { MANWIDTH=80 man --warnings -l "$1" 2>"$2" | col -b; }

check() { # <page> <program> <pattern of a switch on a --help line>
    local page="$pages/$1" text warnings switches
    warnings="$(mktemp)"
    text="$(render "$page" "$warnings")"
    [ -s "$warnings" ] && fail "$1: man --warnings: $(cat "$warnings")"
    rm -f "$warnings"
    [ -n "$text" ] || fail "$1: renders nothing"
    switches="$(LC_ALL=C.UTF-8 "$2" --help | grep -oE "$3" | sort -u)"
    [ -n "$switches" ] || fail "$2 --help lists no switch"
    for switch in $switches; do
        grep -qF -- "$switch" <<<"$text" || fail "$1 does not name $switch"
    done
}

check varnholt.1 "$varnholt" '(^|[ ])(/[A-Za-z][A-Za-z0-9]*|--[a-z]+)'
if [ -n "$portal" ]; then
    check varnholt-portal.1 "$portal" '^ *(-[a-z], )?--[a-z-]+'
fi
exit "$failed"
