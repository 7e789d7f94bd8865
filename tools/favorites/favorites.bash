# bash completion for favorites: its commands and options, files and folders where they take
# one, and for --parent the ids of the groups in the stored favorites (from favorites list).

_favorites_group_ids() {
    # "favorites list" ends each group's line with the id that --parent takes.
    echo 0
    "$@" list 2>/dev/null | sed -n 's/^ *Group ".*" (id \([0-9][0-9]*\))$/\1/p'
}

_favorites() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local program=("${COMP_WORDS[0]/#\~/$HOME}") command="" i
    # The command, and the registry named before it: the groups come from that store.
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --registry)
            ((i++))
            program+=(--registry "${COMP_WORDS[i]/#\~/$HOME}")
            ;;
        -*) ;;
        *)
            command=${COMP_WORDS[i]}
            break
            ;;
        esac
    done

    case $prev in
    --parent)
        mapfile -t COMPREPLY < <(compgen -W "$(_favorites_group_ids "${program[@]}")" -- "$cur")
        return
        ;;
    --registry)
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
        return
        ;;
    --alias)
        return
        ;;
    esac

    local words=""
    case $command in
    "")
        words="list check add add-request encode decode export-value import-value export-reg
               import-reg remove rename move relocate repair backups restore
               --registry --help --version"
        ;;
    list | check) words="--json --help" ;;
    add) words="--parent --alias --help" ;;
    add-request | move) words="--parent --help" ;;
    relocate) words="--dry-run --help" ;;
    *) words="--help" ;;
    esac
    if [[ $cur == -* || -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
        return
    fi
    case $command in
    add | relocate | export-reg | import-reg)
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        compopt -o filenames 2>/dev/null
        ;;
    esac
}

complete -F _favorites favorites
