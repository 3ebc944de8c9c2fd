# bash completion for velquin-scan: options, files for the options that name one, folders for PATH.

_velquin_scan() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local options="--help --version --database --dry-run --quarantine --restore --json --quiet
                   --fingerprint --lookup -h -d -n -q"
    case $prev in
        -d|--database|--json)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        --quarantine|--restore)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --lookup)
            COMPREPLY=()
            return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    compopt -o filenames
    local word
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [[ $word == --fingerprint ]]; then  # files to fingerprint, not folders to scan
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
        fi
    done
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}
complete -F _velquin_scan velquin-scan
