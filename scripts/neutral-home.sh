#!/usr/bin/env bash
# Runs a command in a neutral place, for pictures that show paths: HOME is /home/ann with a
# copy of the sample project at ~/projects/Sample, so no picture shows the folders of the
# machine that made it. /home is a fresh tmpfs in a mount namespace of the command alone
# (unshare), the real one untouched; where namespaces are not allowed, HOME is a temporary
# folder instead. Usage: scripts/neutral-home.sh COMMAND [ARGUMENTS...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${QUENDLE_NEUTRAL_HOME:-}" = inside ]; then
    mount -t tmpfs -o mode=755 tmpfs /home
    export HOME=/home/ann
elif unshare --map-root-user --mount true 2>/dev/null; then
    QUENDLE_NEUTRAL_HOME=inside exec unshare --map-root-user --mount "$0" "$@"
else
    echo "neutral-home: no mount namespace here; the pictures show a temporary folder" >&2
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    export HOME=$work/ann
fi
unset QUENDLE_NEUTRAL_HOME
mkdir -p "$HOME/projects"
cp -r "$root/examples/SampleProject" "$HOME/projects/Sample"
"$@"
