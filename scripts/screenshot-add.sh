#!/usr/bin/env bash
# Pictures of the Add To Favorites dialog in its four modes for docs/ (add-project.png,
# add-file.png, add-item.png, add-group.png), over the sample project copied to
# ~/projects/Sample of a neutral HOME (scripts/neutral-home.sh). Runs offscreen; needs a
# configured build directory (build/ or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" --target grab_add

mkdir -p docs
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen scripts/neutral-home.sh sh -c \
    '"$0" docs "$HOME/projects/Sample"' "$BUILD_DIR/tests/dialogs/add/grab_add"
echo "Saved docs/add-project.png, docs/add-file.png, docs/add-item.png and docs/add-group.png"
