#compdef vantorctl
# zsh completion of vantorctl: commands, options, parameter names (as
# vantorctl get --help lists them) and profile names (as vantorctl profile
# list reads them from the --dir in the line).

_vantorctl_parameters() {
  local -a names
  names=(${(f)"$(vantorctl get --help 2>/dev/null | sed -n 's/^  \([A-Za-z]*\) .*/\1/p')"})
  compadd "$@" -a names
}

_vantorctl_profiles() {
  local -a dir names
  (( ${+opt_args[--dir]} )) && dir=(--dir ${~opt_args[--dir]})
  names=(${(f)"$(vantorctl -q $dir profile list 2>/dev/null | cut -f1)"})
  compadd -a names
}

_vantorctl() {
  local curcontext=$curcontext state line ret=1
  typeset -A opt_args
  _arguments -C \
    '--port=[the board'\''s serial device]:device:_files -P /dev/ -W /dev' \
    '--com=[the board'\''s COM port]:COM number' \
    '--drive-port=[the drive adapter'\''s serial device]:device:_files -P /dev/ -W /dev' \
    '--drive-com=[the drive adapter'\''s COM port]:COM number' \
    '--dir=[the folder of GameProfiles.ini]:folder:_directories' \
    '--json[JSON on standard output]' \
    '(-q --quiet)'{-q,--quiet}'[no notes, only errors]' \
    '(-v --verbose)'{-v,--verbose}'[avrdude'\''s detail as it runs]' \
    '(-h --help)'{-h,--help}'[the help]' \
    '--version[the version]' \
    '1:command:(status get set calibrate center defaults flash profile drive)' \
    '*::argument:->argument' && ret=0
  [[ $state == argument ]] || return ret
  if [[ $PREFIX == -* ]]; then
    case "$words[1] $words[2]" in
      flash*) compadd -- --avrdude --avrdude-conf ;;
      "profile apply") compadd -- --repaired ;;
      "profile save") compadd -- --process ;;
      "profile import") compadd -- --replace ;;
    esac
    return
  fi
  case $words[1] in
    get) _vantorctl_parameters ;;
    set) _vantorctl_parameters -q -S = ;;
    flash) _files -g '*.(hex|HEX)' ;;
    drive)
      if (( CURRENT == 2 )); then compadd stats bandwidth restart clear-faults
      elif (( CURRENT == 3 )) && [[ $words[2] == bandwidth ]]; then compadd {0..11}
      fi ;;
    profile)
      if (( CURRENT == 2 )); then compadd list show apply save remove export import
      elif (( CURRENT == 3 )) && [[ $words[2] == import ]]; then _files
      elif (( CURRENT == 3 )) && [[ $words[2] != list ]]; then _vantorctl_profiles
      elif [[ $words[2] == export ]]; then _files
      fi ;;
  esac
}

_vantorctl "$@"
