#!/usr/bin/env bash
# Every long option that velquin-scan --help prints is in its man page and in the bash, zsh and fish
# completions, so an option added later cannot be forgotten there; and the completions work in
# their shells: options after "--", files and folders for PATH and after --fingerprint.
#   options_test.sh BIN_DIR PACKAGING_SOURCE_DIR
set -uo pipefail
bin=$1
src=$(cd "$2" && pwd)
completions=$src/completions
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

options=$("$bin/velquin-scan" --help | grep -oE -- '--[a-z][a-z0-9-]+' | sort -u)
[ -n "$options" ] || fail "velquin-scan --help names no long option"
for option in $options; do
    name=${option#--}
    grep -qF -- "*$option*" "$src/man/velquin-scan.1.scd" || fail "$option missing from velquin-scan.1.scd"
    grep -qE -- "(^|[[:space:]\"])$option([[:space:]=\"]|\$)" "$completions/velquin-scan.bash" || fail "$option missing from the bash completion"
    grep -qE -- "(^|[{,'()*])$option([]=,}[]|\$)" "$completions/_velquin-scan" || fail "$option missing from the zsh completion"
    grep -qE -- "-l $name( |\$)" "$completions/velquin-scan.fish" || fail "$option missing from the fish completion"
done
if [ -x "$bin/velquin" ]; then
    for option in $("$bin/velquin" --help | grep -oE -- '--[a-z][a-z0-9-]+' | sort -u); do
        grep -qF -- "*$option*" "$src/man/velquin.1.scd" || fail "$option missing from velquin.1.scd"
    done
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velquin-completion-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/tree/a folder" "$scratch/tree/another"
touch "$scratch/tree/a file"
cd "$scratch/tree" || exit 1

# bash: the completion function called as the shell would call it.
bash_complete() {
    bash --norc --noprofile -c '
        compopt() { :; }   # only works inside a real completion; the test needs none of its effect
        source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _velquin_scan
        printf "%s\n" "${COMPREPLY[@]}" | sort' bash "$completions/velquin-scan.bash" "$@"
}
[ "$(bash_complete velquin-scan --)" = "$options" ] || fail "bash completes '--' to: $(bash_complete velquin-scan -- | tr '\n' ' ')"
[ "$(bash_complete velquin-scan a)" = $'a file\na folder\nanother' ] || fail "bash completes PATH to: $(bash_complete velquin-scan a | tr '\n' ' ')"
[ "$(bash_complete velquin-scan --fingerprint a)" = $'a file\na folder\nanother' ] || fail "bash after --fingerprint"

# fish: its own completion engine over the installed file.
fish_complete() {
    fish --no-config -c "source '$completions/velquin-scan.fish'; complete -C'$1'" | cut -f1 | sort
}
[ "$(fish_complete 'velquin-scan --')" = "$options" ] || fail "fish completes '--' to: $(fish_complete 'velquin-scan --' | tr '\n' ' ')"
[ "$(fish_complete 'velquin-scan a')" = $'a file\na folder/\nanother/' ] || fail "fish completes PATH to: $(fish_complete 'velquin-scan a' | tr '\n' ' ')"

# zsh: the function loads (a syntax error fails here) under the completion system.
zsh -f -c "autoload -Uz compinit && compinit -u -d '$scratch/zcompdump' && fpath=('$completions' \$fpath) &&
           autoload -Uz +X _velquin-scan && compdef _velquin-scan velquin-scan" || fail "zsh cannot load _velquin-scan"

[ "$failures" = 0 ] && echo "ok: $(echo $options | wc -w) long options in the man page and the bash, zsh and fish completions"
[ "$failures" = 0 ]
