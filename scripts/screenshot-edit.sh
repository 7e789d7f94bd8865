#!/usr/bin/env bash
# Pictures of the Edit Favorites dialog for docs/ over a few sample favorites: as it opens
# (docs/edit-favorites.png, and at 200 % docs/edit-favorites-200.png) and after a few commands
# (docs/edit-favorites-commands.png), over the sample project copied to ~/projects/Sample of a
# neutral HOME (scripts/neutral-home.sh). Runs offscreen; needs a configured build directory
# (build/ or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/build.ninja" ] || cmake -S . -B "$BUILD_DIR" -G Ninja >/dev/null
cmake --build "$BUILD_DIR" --target grab_edit

mkdir -p docs
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen scripts/neutral-home.sh sh -c \
    '"$0" docs "$HOME/projects/Sample"' "$BUILD_DIR/tests/dialogs/edit/grab_edit"
# The same at 200 %, for the README's high-resolution picture.
mkdir "$runtime/200"
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 scripts/neutral-home.sh \
    sh -c '"$0" "$1" "$HOME/projects/Sample"' "$BUILD_DIR/tests/dialogs/edit/grab_edit" "$runtime/200"
cp "$runtime/200/edit-favorites.png" docs/edit-favorites-200.png
echo "Saved docs/edit-favorites.png, docs/edit-favorites-commands.png and docs/edit-favorites-200.png"
