#!/usr/bin/env bash
# The bash completion of favorites, asked as bash asks it: the words typed so far, the
# candidates it offers. Usage: completion-test.sh COMPLETION_FILE FAVORITES_PROGRAM
set -euo pipefail
# shellcheck source=../../tools/favorites/favorites.bash
source "$1"
favorites=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
registry=$work/registry.reg
failed=0

# Offers for the words (the last one is being completed), one line, sorted.
offers() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _favorites
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() {
    local what=$1 want=$2
    shift 2
    local got
    got=$(offers "$@")
    if [ "$got" != "$want" ]; then
        echo "completion-test: $what: offered \"$got\", expected \"$want\"" >&2
        failed=1
    fi
}

# Two groups, one inside the other, and a favorite that is no group.
printf '5\nTools\n' | "$favorites" --registry "$registry" add-request >/dev/null
printf '5\nInner\n' | "$favorites" --registry "$registry" add-request --parent 1 >/dev/null
"$favorites" --registry "$registry" add --parent 2 --alias "Group \"x\" (id 9)" "$work" >/dev/null

expect "commands" "relocate remove rename repair restore " "$favorites" re
expect "options of a command" "--alias --help --parent " "$favorites" add --
expect "group ids of the named store" "0 1 2 " \
    "$favorites" --registry "$registry" add --parent ""
exit $failed
