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
if [ -x /usr/lib/wine/wine64 ]; then
    export WINELOADER=/usr/lib/wine/wine64
    exec /usr/lib/wine/wine64 "$@"
fi
exec wine "$@"
