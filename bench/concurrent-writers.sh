#!/usr/bin/env bash
# Many writers at once: WRITERS processes each run ADDS `favorites add` commands, one process
# per add, all on one registry file at the same time. Prints how many favorites were kept (all
# of them, when every save merged with the latest value) and the wall time of the whole run.
# Usage: bench/concurrent-writers.sh [FAVORITES [WRITERS [ADDS]]]
# FAVORITES defaults to build/tools/favorites/favorites.
set -euo pipefail
cd "$(dirname "$0")/.."
favorites=$(realpath "${1:-build/tools/favorites/favorites}")
writers=${2:-8}
adds=${3:-100}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
registry="$work/HKEY_CURRENT_USER.reg"
touch "$work/Unit1.pas"

start=$(date +%s.%N)
pids=()
for w in $(seq 1 "$writers"); do
    (
        for i in $(seq 1 "$adds"); do
            "$favorites" --registry "$registry" add --alias "w$w-$i" "$work/Unit1.pas" >/dev/null
        done
    ) 2>"$work/err.$w" &
    pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do
    wait "$pid" || failed=$((failed + 1))
done
end=$(date +%s.%N)

kept=$("$favorites" --registry "$registry" list | grep -c '^Unit "w[0-9]*-[0-9]*"' || true)
merged=$(cat "$work"/err.* | grep -c 'merged with changes' || true)
total=$((writers * adds))
echo "writers: $writers x $adds adds, one process each"
echo "kept: $kept of $total"
echo "saves that merged with another writer's value: $merged"
echo "writers that failed: $failed"
awk -v s="$start" -v e="$end" -v n="$total" \
    'BEGIN { printf "wall time: %.2f s (%.1f ms per add)\n", e - s, 1000 * (e - s) / n }'
[ "$kept" -eq "$total" ] && [ "$failed" -eq 0 ]
