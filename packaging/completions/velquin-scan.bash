# bash completion for velquin-scan: options, files for the options that name one, files and
# folders for PATH.

_velquin_scan() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local options="--help --version --database --exclude --one-file-system --jobs --dry-run --quarantine
                   --restore --json --log --quiet --fingerprint --lookup -h -V -d -x -j -n -q"
    case $prev in
        -d|--database|--json|--log)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        --quarantine|--restore)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --lookup|--exclude|-j|--jobs)
            COMPREPLY=()
            return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    compopt -o filenames
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")  # folders to walk, or files to check
}
complete -F _velquin_scan velquin-scan
