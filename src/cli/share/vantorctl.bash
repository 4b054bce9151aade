# bash completion of vantorctl: commands, options, parameter names (as
# vantorctl get --help lists them) and profile names (as vantorctl profile
# list reads them from the --dir in the line).

_vantorctl_words()
{
    local i dir=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --dir) dir=(--dir "${COMP_WORDS[i + 1]/#\~/$HOME}") ;;
        esac
    done
    case $1 in
        parameters) vantorctl get --help 2>/dev/null | sed -n 's/^  \([A-Za-z]*\) .*/\1/p' ;;
        profiles) vantorctl -q "${dir[@]}" profile list 2>/dev/null | cut -f1 ;;
    esac
}

_vantorctl()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    local options="--port --com --drive-port --drive-com --dir --json -q --quiet -v --verbose -h --help --version"
    case $prev in
        --port | --drive-port)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "${cur:-/dev/tty}")
            return ;;
        --dir)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -d -- "$cur")
            return ;;
        --avrdude | --avrdude-conf)
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
        --com | --drive-com | --process) return ;;
    esac
    # The command's words so far, without the options and their values.
    local i words=()
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --port | --com | --drive-port | --drive-com | --dir | --process | --avrdude | --avrdude-conf) ((i++)) ;;
            -*) ;;
            *) words+=("${COMP_WORDS[i]}") ;;
        esac
    done
    if [[ $cur == -* ]]; then
        case "${words[0]} ${words[1]}" in
            "flash "*) options+=" --avrdude --avrdude-conf" ;;
            "profile apply") options+=" --repaired" ;;
            "profile save") options+=" --process" ;;
            "profile import") options+=" --replace" ;;
        esac
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    local candidates
    case "${words[0]} ${words[1]}" in
        " ") candidates="status get set calibrate center defaults flash profile drive" ;;
        "profile ") candidates="list show apply save remove export import" ;;
        "drive ") candidates="stats bandwidth restart clear-faults" ;;
        "drive bandwidth") ((${#words[@]} == 2)) && candidates="0 1 2 3 4 5 6 7 8 9 10 11" ;;
        "get "*) candidates=$(_vantorctl_words parameters) ;;
        "set "*)
            compopt -o nospace
            candidates=$(_vantorctl_words parameters | sed 's/$/=/') ;;
        "flash ")
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -X '!*.[hH][eE][xX]' -- "$cur"; compgen -d -- "$cur")
            return ;;
        "profile show" | "profile apply" | "profile save" | "profile remove" | "profile export")
            if ((${#words[@]} == 2)); then
                local IFS=$'\n' name
                COMPREPLY=()
                for name in $(_vantorctl_words profiles); do
                    [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
                done
                return
            fi
            if [[ ${words[1]} == export ]]; then
                compopt -o filenames
                mapfile -t COMPREPLY < <(compgen -f -- "$cur")
                return
            fi ;;
        "profile import")
            compopt -o filenames
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$candidates" -- "$cur")
}

complete -F _vantorctl vantorctl
