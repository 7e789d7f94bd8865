#!/usr/bin/env bash
# Times favorites decode and favorites list as whole processes on a value of 100,000 records
# (about 9.7 MB; 62 MB as a .reg file), with hyperfine (installed when missing). Usage:
#   bench/tool-timing.sh [FAVORITES [OTHER_FAVORITES]]
# FAVORITES defaults to build/tools/favorites/favorites; with OTHER_FAVORITES (another build,
# say of an older commit) both are timed on the same files, for a paired comparison.
set -euo pipefail
cd "$(dirname "$0")/.."
new=$(realpath "${1:-build/tools/favorites/favorites}")
old=${2:+$(realpath "$2")}

if ! command -v hyperfine >/dev/null; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get install -y -qq --no-install-recommends hyperfine
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 1,000 groups of 99 members, shuffled as after adds (the store sorts on every query).
awk 'BEGIN {
    srand(1); id = 0; split(".dpr .dpk .pas .txt", ext, " "); ext[5] = ""
    for (g = 0; g < 1000; g++) r[n++] = sprintf("000000000|%03d|5|%d||Group %d", g, ++id, g)
    for (g = 1; g <= 1000; g++)
        for (i = 0; i < 99; i++) {
            t = int(i * 5 / 99); name = sprintf("Unit%d%s", ++id, ext[t + 1])
            r[n++] = sprintf("%09d|%03d|%d|%d|/home/developer/projects/sample%d/source/delphi/%s|%s",
                             g, i, t, id, g, name, name)
        }
    while (n < 100000) { r[n] = sprintf("000000000|%03d|3|%d|/tmp/extra.txt|extra.txt", n, ++id); n++ }
    for (i = n - 1; i > 0; i--) { j = int(rand() * (i + 1)); s = r[i]; r[i] = r[j]; r[j] = s }
    print id
    for (i = 0; i < n; i++) print r[i]
}' >"$work/records.txt"
"$new" encode <"$work/records.txt" >"$work/value.bin"
"$new" --registry "$work/registry.reg" import-value <"$work/value.bin"
ls -l "$work/value.bin" "$work/registry.reg" | awk '{print $5, $NF}'

commands=()
for exe in "$new" ${old:+"$old"}; do
    commands+=("$exe decode < $work/value.bin" "$exe --registry $work/registry.reg list")
done
hyperfine --warmup 2 --min-runs 10 --output=null "${commands[@]}"
