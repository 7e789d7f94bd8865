#!/usr/bin/env bash
# Builds the store, runtime/core, the favorites tool and their tests for 64-bit Windows with
# mingw-w64 (preset windows-cross, build-windows/), runs the tests under Wine in a fresh
# prefix, then checks that the stored value survives regedit exports and imports between
# favorites.exe and the Linux favorites byte for byte. Installs mingw-w64 and Wine when they
# are missing. The Linux favorites comes from build/ (or $BUILD_DIR), built if needed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++-mingw-w64-x86-64-posix wine64 wine)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "windows-test: installing ${missing[*]} (about 1.2 GB)"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross

LINUX_BUILD=${BUILD_DIR:-build}
if [ ! -x "$LINUX_BUILD/tools/favorites/favorites" ]; then
    [ -f "$LINUX_BUILD/CMakeCache.txt" ] || cmake -S . -B "$LINUX_BUILD" -G Ninja >/dev/null
    cmake --build "$LINUX_BUILD" --target favorites
fi

prefix_root=$(mktemp -d "${TMPDIR:-/tmp}/quendle-wine.XXXXXX")
export WINEPREFIX="$prefix_root/prefix"
export WINEDEBUG=-all DISPLAY=
stop_wine() {
    cmake/wine-run.sh --stop # only the server of this prefix
    rm -rf "$prefix_root"
}
trap stop_wine EXIT

echo "windows-test: new Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
cmake/wine-run.sh wineboot -i >/dev/null 2>&1 || true
wineserver -w
# One server for the whole run: starting one per test costs seconds each.
wineserver -p
cmake/wine-run.sh cmd /c exit >/dev/null 2>&1 || true

ctest --preset windows-cross -j "$(nproc)" --timeout 120

tests/windows/regedit-roundtrip.sh build-windows/tools/favorites/favorites.exe \
    "$LINUX_BUILD/tools/favorites/favorites"
