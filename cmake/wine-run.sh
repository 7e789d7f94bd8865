#!/bin/sh
# Runs a Windows program of the cross build under 64-bit Wine, quietly and without a display.
# WINEPREFIX should name a prefix of its own (scripts/windows-test.sh makes a fresh one);
# when it is unset, a per-user prefix in the temporary folder is used rather than ~/.wine.
set -e
if [ -z "${WINEPREFIX:-}" ]; then
    WINEPREFIX="${TMPDIR:-/tmp}/quendle-wine-$(id -u)"
fi
export WINEPREFIX
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts in a new prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export DISPLAY=

# "wine-run.sh --stop": stops the server of WINEPREFIX and removes its socket folder, which
# the server leaves behind in the temporary folder (/tmp/wine-*/server-DEV-INODE).
if [ "${1:-}" = "--stop" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [ -d "$WINEPREFIX" ]; then
        socket="server-$(printf '%x-%x' "0x$(stat -c %D "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")"
        for dir in "${TMPDIR:-/tmp}"/wine-*/"$socket" /tmp/wine-*/"$socket"; do
            [ -d "$dir" ] || continue
            rm -rf "$dir"
            rmdir "$(dirname "$dir")" 2>/dev/null || true
        done
    fi
    exit 0
fi
if [ -x /usr/lib/wine/wine64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
    exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
