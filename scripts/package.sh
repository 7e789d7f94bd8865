#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package in build/ (or $BUILD_DIR):
# quendle_<version>_<arch>.deb. With --check it then has lintian check it (any error or
# warning fails), unpacks it into a temporary root and runs the programs from there
# (tests/install/check-install.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
scripts/install-deps.sh
scripts/build.sh
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
deb=$BUILD_DIR/quendle_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "package.sh: $deb was not made" >&2; exit 1; }
echo "$deb"
if [ "${1:-}" = --check ]; then
    lintian --fail-on error,warning "$deb" || { echo "package.sh: lintian refuses $deb" >&2; exit 1; }
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    dpkg-deb -x "$deb" "$root"
    dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' ||
        { echo "package.sh: the computed dependencies lack Qt" >&2; exit 1; }
    tests/install/check-install.sh "$root/usr"
fi
