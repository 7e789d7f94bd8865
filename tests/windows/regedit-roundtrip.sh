#!/usr/bin/env bash
# The stored favorites value moves between Windows and Linux through .reg files, byte for byte:
#  1. favorites.exe adds favorites to Wine's registry; Wine's regedit exports the key; the Linux
#     favorites imports that file; both sides' export-value give the same bytes.
#  2. The Linux favorites exports a value with export-reg; Wine's regedit imports the file;
#     favorites.exe export-value gives the bytes the Linux side stored.
# Runs in a fresh Wine prefix of its own, stops its wineserver and removes the prefix at exit.
#
# Usage: regedit-roundtrip.sh WINDOWS_FAVORITES_EXE LINUX_FAVORITES
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 WINDOWS_FAVORITES_EXE LINUX_FAVORITES" >&2
    exit 2
fi
win_fav=$(realpath "$1")
linux_fav=$(realpath "$2")
wine_run="$(cd "$(dirname "$0")/../../cmake" && pwd)/wine-run.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/regedit-roundtrip.XXXXXX")
export WINEPREFIX="$work/prefix"
cleanup() {
    "$wine_run" --stop # only the server of this prefix
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "regedit-roundtrip: FAILED: $*" >&2
    exit 1
}

win() { "$wine_run" "$@"; }
step() { echo "regedit-roundtrip: $*"; }

step "new Wine prefix"
mkdir -p "$WINEPREFIX"
win wineboot -i >/dev/null 2>&1 || true
drive_c="$WINEPREFIX/drive_c"
[ -d "$drive_c" ] || fail "wineboot made no drive_c in $WINEPREFIX"

# --- Windows to Linux -------------------------------------------------------------------------
step "favorites.exe adds favorites to Wine's registry"
mkdir -p "$drive_c/fav/Sources"
printf 'x' >"$drive_c/fav/Unit1.pas"
printf 'x' >"$drive_c/fav/Proj.dpr"
win "$win_fav" add 'C:\fav\Unit1.pas' >/dev/null || fail "favorites.exe add (WINEDEBUG=err+module shows a missing DLL)"
win "$win_fav" add --alias Sources 'C:\fav\Sources\' >/dev/null || fail "favorites.exe add folder"
printf '5\r\nTools\r\nC:\\fav\\Proj.dpr\r\n' | win "$win_fav" add-request >/dev/null ||
    fail "favorites.exe add-request"
win "$win_fav" export-value >"$work/windows.bin" || fail "favorites.exe export-value"
[ -s "$work/windows.bin" ] || fail "favorites.exe stored nothing"
"$linux_fav" decode <"$work/windows.bin" >"$work/windows.txt" || fail "the Windows value does not decode"
grep -qF '|C:\fav\Unit1.pas|Unit1.pas' "$work/windows.txt" || fail "no Unit1.pas record in: $(cat "$work/windows.txt")"

step "regedit /E exports HKEY_CURRENT_USER\\Favorites"
win regedit /E 'C:\exported.reg' 'HKEY_CURRENT_USER\Favorites' </dev/null >/dev/null 2>&1 ||
    fail "regedit /E"
# regedit /E exits 0 even when it wrote nothing.
[ -s "$drive_c/exported.reg" ] || fail "regedit /E wrote no file"

step "the Linux favorites imports the exported file"
"$linux_fav" --registry "$work/linux.reg" import-reg "$drive_c/exported.reg" ||
    fail "import-reg of regedit's file"
"$linux_fav" --registry "$work/linux.reg" export-value >"$work/linux.bin"
cmp "$work/windows.bin" "$work/linux.bin" || fail "Windows to Linux: the bytes differ"

# --- Linux to Windows -------------------------------------------------------------------------
step "the Linux favorites exports a value with export-reg"
long=$(printf 'L%.0s' $(seq 1 300))
{
    printf '40000\n'
    printf '000000000|000|5|1||Group \xE9\n'
    printf '000000001|000|2|2|C:\\Apps\\Unit1.pas|Unit1.pas\n'
    printf '000000000|001|3|3|/home/u/%s.txt|long\n' "$long"
} | "$linux_fav" encode >"$work/value.bin"
"$linux_fav" --registry "$work/linux2.reg" import-value <"$work/value.bin" || fail "import-value"
"$linux_fav" --registry "$work/linux2.reg" export-reg "$drive_c/linux.reg" || fail "export-reg"

step "regedit /S imports it; favorites.exe reads it back"
win regedit /S 'C:\linux.reg' </dev/null >/dev/null 2>&1 || fail "regedit /S"
win "$win_fav" export-value >"$work/back.bin" || fail "favorites.exe export-value after import"
cmp "$work/value.bin" "$work/back.bin" || fail "Linux to Windows: the bytes differ"
win "$win_fav" list >"$work/list.txt" || fail "favorites.exe list"
grep -q 'Unit "Unit1.pas" C:\\Apps\\Unit1.pas \[missing\]' "$work/list.txt" ||
    fail "favorites.exe list shows: $(cat "$work/list.txt")"

step "passed"
