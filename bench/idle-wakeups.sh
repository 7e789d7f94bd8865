#!/usr/bin/env bash
# Wake-ups of an idle IDE shell with the Favorites add-in and its watcher of the stored
# favorites: the shell runs under Xvfb (its About box closed with a key press) and settles, then
# strace counts every system call of all its threads for SECONDS (default 60). A process that is
# woken makes system calls (poll, read...), so an idle count of 0 means no wake-up at all. As
# a check that the watch is alive, the same count follows over 2 seconds after one
# `favorites rename` of another process. Installs xvfb, xdotool and strace when missing.
# Usage: bench/idle-wakeups.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
BUILD_DIR=${BUILD_DIR:-build}
shell="$BUILD_DIR/bin/ide-shell"
favorites="$BUILD_DIR/tools/favorites/favorites"

missing=()
for tool in Xvfb:xvfb xdotool:xdotool strace:strace; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
registry="$work/HKEY_CURRENT_USER.reg"
printf '1\n000000000|000|3|1|%s/notes.txt|Notes\n' "$work" | "$favorites" encode |
    "$favorites" --registry "$registry" import-value
touch "$work/notes.txt"

display=:$((70 + RANDOM % 20))
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
cleanup() {
    kill "${pid:-}" "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
sleep 1
XDG_RUNTIME_DIR="$work" "$shell" --registry "$registry" >/dev/null 2>&1 &
pid=$!
# The About box shown at load waits for its user; close it, then let the shell settle.
for _ in $(seq 1 50); do
    xdotool search --name "About" >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool key Escape
# Qt ends the idle threads of its thread pool 30 seconds after their last task (start-up work):
# that is the shell's, not the watcher's, so the count starts after it.
sleep 35

# Total system calls of all threads over the given time (the "total" line of strace -c).
count() {
    local out
    out=$(timeout "$1" strace -f -c -p "$pid" 2>&1 || true)
    echo "$out" | awk '$NF == "total" { print $(NF - 2); found = 1 } END { if (!found) print 0 }'
}

idle=$(count "$seconds")
( sleep 0.5; "$favorites" --registry "$registry" rename 1 "Renamed" >/dev/null ) &
writer=$!
changed=$(count 2)
wait "$writer"
echo "idle shell with the watcher, $seconds s: $idle system calls (wake-ups)"
echo "after one change by another process, 2 s: $changed system calls"
