#!/usr/bin/env bash
# Checks an installation: the files where the programs look for them, and the programs
# running from there. Usage:
#   check-install.sh PREFIX             an installed tree (an unpacked .deb's ROOT/usr)
#   check-install.sh --build BUILD_DIR  installs BUILD_DIR into a temporary prefix first
set -euo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

if [ "${1:-}" = --build ]; then
    prefix=$work/prefix
    cmake --install "$2" --prefix "$prefix" >/dev/null
else
    prefix=${1:?usage: check-install.sh PREFIX | --build BUILD_DIR}
fi
prefix=$(realpath "$prefix")

# The packages' private folder: lib/quendle, or lib/TRIPLET/quendle where there is multiarch.
packages=""
for folder in "$prefix"/lib/quendle "$prefix"/lib/*/quendle; do
    [ -d "$folder" ] && packages=${folder#"$prefix"/} && break
done
[ -n "$packages" ] || fail "no folder of the add-in packages is installed"
for file in bin/favorites bin/ide-shell "$packages/libQuendle5.so" "$packages/libQuendle4.so" \
    share/quendle/help/morvith/70.html share/quendle/help/morvith/130.html \
    share/applications/quendle-ide-shell.desktop \
    share/icons/hicolor/scalable/apps/quendle-ide-shell.svg share/man/man1/favorites.1.gz \
    share/man/man1/ide-shell.1.gz share/bash-completion/completions/favorites \
    share/doc/quendle/copyright share/doc/quendle/changelog.gz; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/quendle-ide-shell.desktop" ||
        fail "the desktop entry is not valid"
fi

# The tool, its manual page naming every command its --help names.
help=$("$prefix/bin/favorites" --help) || fail "favorites --help failed"
grep -q '^Usage: favorites' <<<"$help" || fail "favorites --help printed no usage"
manual=$(gzip -dc "$prefix/share/man/man1/favorites.1.gz" | sed 's/\\-/-/g')
commands=$(sed -n 's/^  \([a-z][a-z-]*\).*/\1/p' <<<"$help")
[ -n "$commands" ] || fail "favorites --help lists no commands"
for command in $commands; do
    grep -q "^$command\b" <<<"$manual" || fail "the manual page lacks the command $command"
done
"$prefix/bin/favorites" --registry "$work/registry.reg" list >/dev/null ||
    fail "favorites list failed"

# The shell finds its packages and its help topics in the installed tree.
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
for package in "" "$prefix/$packages/libQuendle4.so"; do
    menu=$("$prefix/bin/ide-shell" --dump-menu --registry "$work/registry.reg" \
        ${package:+--package "$package"}) || fail "ide-shell --dump-menu ${package:-(default)} failed"
    grep -q $'^FavoriteMenu\tF&avorites$' <<<"$menu" ||
        fail "ide-shell ${package:-(default package)} shows no Favorites menu"
done
topic=$("$prefix/bin/ide-shell" --help-topic Morvith.hlp:130) || fail "help topic 130 not found"
[ "$topic" = "$prefix/share/quendle/help/morvith/130.html" ] ||
    fail "help topic 130 found at $topic, not in the installed tree"
for program in favorites ide-shell; do
    version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/$program" --version) ||
        fail "$program --version failed"
    [[ $version =~ ^$program\ [0-9]+(\.[0-9]+)+$ ]] || fail "$program --version said \"$version\""
done
echo "check-install: $prefix is complete and runs"
