#!/usr/bin/env bash
# Builds the Debian package: a build for /usr in build-package/ (or $VARNHOLT_PACKAGE_BUILD_DIR)
# with Debian's hardening flags and without the tests, then CPack. The last line printed is the
# package's path, varnholt_<version>_<arch>.deb in that folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --package >&2
build="${VARNHOLT_PACKAGE_BUILD_DIR:-build-package}"

# Debian's flags with every hardening feature (fortified functions, stack protector, RELRO and
# immediate binding); CMake reads CXXFLAGS and LDFLAGS on the first configure only, so the cache
# is set explicitly.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DVARNHOLT_BUILD_TESTS=OFF -DCMAKE_CXX_FLAGS="$cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
    -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" $launcher ${VARNHOLT_CMAKE_ARGS:-} >&2
cmake --build "$build" -j"$(nproc)" >&2
rm -f "$build"/varnholt_*.deb
(cd "$build" && cpack -G DEB >&2)
package="$(ls "$build"/varnholt_*.deb)"
echo "$(cd "$(dirname "$package")" && pwd)/$(basename "$package")"
