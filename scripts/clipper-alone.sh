#!/usr/bin/env bash
# Builds and tests the clipper alone (-DVARNHOLT_BUILD_PORTAL=OFF, as a packager would) where the
# gateway's libraries cannot be found: in a mount namespace of its own, the headers and
# pkg-config files of libxml2, SQLite and cpp-httplib are hidden, so that any use of them fails
# the build. Then shows that nothing built uses them: the CMake cache names none of them and no
# built program, module or library links them. Needs user namespaces (any Debian 12).
#   scripts/clipper-alone.sh           builds into build-clipper (or $VARNHOLT_BUILD_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${VARNHOLT_BUILD_DIR:-build-clipper}"

if [ -z "${VARNHOLT_GATEWAY_HIDDEN:-}" ]; then
    exec unshare --user --map-root-user --mount \
        env VARNHOLT_GATEWAY_HIDDEN=1 bash "$0" "$@"
fi

hidden="$(mktemp -d "${TMPDIR:-/tmp}/varnholt-hidden.XXXXXX")"
trap 'rm -rf "$hidden"' EXIT
# A header that says why it is not there; an empty pkg-config file, which pkg-config refuses.
for header in sqlite3.h sqlite3ext.h httplib.h; do
    printf '#error "%s is hidden: the clipper alone must not need it"\n' "$header" \
        >"$hidden/$header"
    if [ -e "/usr/include/$header" ]; then
        mount --bind "$hidden/$header" "/usr/include/$header"
    fi
done
if [ -d /usr/include/libxml2 ]; then
    mount -t tmpfs none /usr/include/libxml2
fi
: >"$hidden/empty.pc"
for module in libxml-2.0 sqlite3 cpp-httplib; do
    if pc="$(pkg-config --variable=pcfiledir "$module" 2>/dev/null)"; then
        mount --bind "$hidden/empty.pc" "$pc/$module.pc"
    fi
done
for module in libxml-2.0 sqlite3 cpp-httplib; do
    if pkg-config --exists "$module" 2>/dev/null; then
        echo "clipper-alone.sh: could not hide $module" >&2
        exit 2
    fi
done
echo "hidden: libxml2, SQLite and cpp-httplib (headers and pkg-config files)"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNHOLT_BUILD_PORTAL=OFF \
    -DVARNHOLT_PEDANTIC=ON ${VARNHOLT_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"

# Nothing of the gateway's libraries in the cache, nor in what was linked.
if grep -E '^(LIBXML2|SQLITE3|HTTPLIB)_' "$build/CMakeCache.txt"; then
    echo "clipper-alone.sh: the CMake cache names a gateway library" >&2
    exit 1
fi
linked=0
while IFS= read -r -d '' file; do
    [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
    linked=$((linked + 1))
    if ldd "$file" 2>/dev/null | grep -E 'libxml2|libsqlite3|libcpp-httplib'; then
        echo "clipper-alone.sh: $file links a gateway library" >&2
        exit 1
    fi
done < <(find "$build" -type f \( -perm -u+x -o -name '*.so' \) -print0)
echo "the clipper alone: built and tested; none of $linked programs and modules links libxml2," \
    "SQLite or cpp-httplib"
