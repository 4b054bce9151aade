#!/usr/bin/env bash
# vantorctl installed as a distribution would: `cmake --install` into a
# temporary root lays out every file, the installed program finds its port
# lister, the manual page renders without a warning, and each shell's
# completion loads and completes commands, parameter names and the profile
# names of the file in --dir (one named in the file's code page).
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
files=$(cd "$root" && find . -type f -printf '%P\n' | sort | tr '\n' ' ')
[ "$files" = "usr/bin/vantorctl usr/lib/udev/rules.d/60-vantor.rules usr/libexec/vantor/listComPorts \
usr/share/bash-completion/completions/vantorctl usr/share/fish/vendor_completions.d/vantorctl.fish \
usr/share/man/man1/vantorctl.1 usr/share/zsh/site-functions/_vantorctl " ] || fail "installed: $files"

mkdir "$root/ports" "$root/profiles"
said=$(VANTOR_DOSDEVICES=$root/ports "$root/usr/bin/vantorctl" status 2>&1 || true)
[[ $said == *"among those listComPorts lists"* ]] || fail "the installed lister was not run: $said"

warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/vantorctl.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man: $warnings"

printf '[GameProfiles]\r\nPROFILE="Rally Cross",rx.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\nPROFILE="F\xe4hre",f.exe,0,900,1,1,1,1,1,1,1,1,0,0,0,0,16\r\n\r\n' \
    >"$root/profiles/GameProfiles.ini"
export PATH=$root/usr/bin:$PATH
share=$root/usr/share

# Each case: the line typed, and what the completion offers, one a line.
check() { # shell, line, got, wanted
    [ "$3" = "$4" ] || fail "$1 completes \"$2\" with [$3], not [$4]"
}
bash_complete() {
    bash -c 'compopt() { :; }; source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _vantorctl
             printf "%s\n" "${COMPREPLY[@]}"' bash "$share/bash-completion/completions/vantorctl" vantorctl "$@"
}
fish_complete() { fish -c 'source $argv[1]; complete -C $argv[2] | cut -f1' "$share/fish/vendor_completions.d/vantorctl.fish" "$1"; }
check bash "profile" "$(bash_complete profile "")" $'list\nshow\napply\nsave\nremove\nexport\nimport'
check bash "set MainG" "$(bash_complete set MainG)" "MainGain="
check bash "profile show" "$(bash_complete --dir "$root/profiles" profile show "")" $'Rally\\ Cross\nF\xc3\xa4hre'
check fish "profile " "$(fish_complete "vantorctl profile ")" $'apply\nexport\nimport\nlist\nremove\nsave\nshow'
check fish "get LinearityR" "$(fish_complete "vantorctl get LinearityR")" "LinearityRx"
check fish "profile apply" "$(fish_complete "vantorctl --dir $root/profiles profile apply ")" $'F\xc3\xa4hre\nRally Cross'

# zsh: the function is found for the command, and completes a profile name
# on a terminal of its own.
zsh -fc 'fpath=($1 $fpath); autoload -Uz compinit; compinit -u -D; [[ $_comps[vantorctl] == _vantorctl ]]' zsh \
    "$share/zsh/site-functions" || fail "zsh does not take _vantorctl for vantorctl"
typed=$(zsh -f -c '
    zmodload zsh/zpty
    zpty z "TERM=dumb zsh -f -i"
    zpty -w z "PS1=\">\"; fpath=($1 \$fpath); autoload -Uz compinit; compinit -u -D"
    zpty -w -n z "vantorctl --dir $2 profile remove Ra"$'"'"'\t'"'"'
    out=""
    for i in {1..300}; do
        zpty -r -t z chunk && out+=$chunk
        [[ $out == *"Rally\\ Cross "* ]] && break
        sleep 0.1
    done
    zpty -d z
    print -r -- $out' zsh "$share/zsh/site-functions" "$root/profiles")
[[ $typed == *'remove Rally\ Cross '* ]] || fail "zsh completes no profile name: $typed"
echo "installed, rendered and completed"
