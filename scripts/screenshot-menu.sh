#!/usr/bin/env bash
# Pictures of the IDE shell for docs/: the Favorites menu open over a few sample favorites
# (docs/favorites-menu.png) and the main window with the sample project (docs/ide-shell.png).
# Runs the shell under Xvfb with a temporary registry, over the sample project copied to
# ~/projects/Sample of a neutral HOME (scripts/neutral-home.sh); needs a configured build
# directory (build/ or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ "${1:-}" != --in-neutral-home ]; then
    [ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
    cmake --build "$BUILD_DIR" --target ide-shell Quendle5 favorites
    exec scripts/neutral-home.sh "$0" --in-neutral-home
fi

shell="$BUILD_DIR/bin/ide-shell"
favorites="$BUILD_DIR/tools/favorites/favorites"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
registry="$work/HKEY_CURRENT_USER.reg"
sample="$HOME/projects/Sample"

# LastID, then one record per line: parent|position|type|id|path|alias.
{
    echo 9
    echo "000000000|000|0|1|$sample/Sample.bpg|Sample project group"
    echo "000000000|001|0|2|$sample/Sample.dpr|Sample"
    echo "000000000|002|1|3|$sample/SampleTools.dpk|Sample tools package"
    echo "000000000|003|2|4|$sample/MainForm.pas|Main form"
    echo "000000000|004|3|5|$sample/README.txt|"
    echo "000000000|005|4|6|$sample/Sources|Sources"
    echo "000000000|006|5|7||Units"
    echo "000000007|000|2|8|$sample/Utils.pas|Utils"
    echo "000000007|001|2|9|$sample/Sources/TextTools.pas|Text tools"
} | "$favorites" encode | "$favorites" --registry "$registry" import-value

mkdir -p docs
run_shell() {
    xvfb-run -a -s "-screen 0 1280x800x24" \
        "$shell" --registry "$registry" --project "$sample/Sample.dpr" "$sample/Utils.pas" "$@"
}
run_shell --screenshot-menu docs/favorites-menu.png
run_shell --screenshot-window docs/ide-shell.png
echo "Saved docs/favorites-menu.png and docs/ide-shell.png"
