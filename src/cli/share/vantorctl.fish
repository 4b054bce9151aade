# fish completion of vantorctl: commands, options, parameter names (as
# vantorctl get --help lists them) and profile names (as vantorctl profile
# list reads them from the --dir in the line).

function __vantorctl_profiles
    set -l tokens (commandline -opc)
    set -l dir
    if set -l i (contains -i -- --dir $tokens)
        set dir --dir $tokens[(math $i + 1)]
    end
    vantorctl -q $dir profile list 2>/dev/null | cut -f1
end

function __vantorctl_parameters
    vantorctl get --help 2>/dev/null | string replace -rf '^  ([A-Za-z]+) .*' '$1'
end

# The words of the line after the program, without the options and their values.
function __vantorctl_words
    set -l tokens (commandline -opc)[2..]
    set -l words
    set -l skip 0
    for token in $tokens
        if test $skip = 1
            set skip 0
        else if contains -- $token --port --com --drive-port --drive-com --dir --process --avrdude --avrdude-conf
            set skip 1
        else if not string match -q -- '-*' $token
            set -a words $token
        end
    end
    string join \n -- $words
end

# Whether the line's words so far are these.
function __vantorctl_at
    test "$(__vantorctl_words | string join ' ')" = "$argv"
end

complete -c vantorctl -f
complete -c vantorctl -l port -r -d "the board's serial device"
complete -c vantorctl -l com -x -d "the board's COM port"
complete -c vantorctl -l drive-port -r -d "the drive adapter's serial device"
complete -c vantorctl -l drive-com -x -d "the drive adapter's COM port"
complete -c vantorctl -l dir -x -a "(__fish_complete_directories)" -d "the folder of GameProfiles.ini"
complete -c vantorctl -l json -d "JSON on standard output"
complete -c vantorctl -s q -l quiet -d "no notes, only errors"
complete -c vantorctl -s v -l verbose -d "avrdude's detail as it runs"
complete -c vantorctl -s h -l help -d "the help"
complete -c vantorctl -l version -d "the version"

complete -c vantorctl -n "__vantorctl_at ''" -a "status get set calibrate center defaults flash profile drive"
complete -c vantorctl -n "__vantorctl_at profile" -a "list show apply save remove export import"
complete -c vantorctl -n "__vantorctl_at drive" -a "stats bandwidth restart clear-faults"
complete -c vantorctl -n "__vantorctl_at drive bandwidth" -a "0 1 2 3 4 5 6 7 8 9 10 11"
complete -c vantorctl -n "string match -q get (__vantorctl_words)[1]" -a "(__vantorctl_parameters)"
complete -c vantorctl -n "string match -q set (__vantorctl_words)[1]" -a "(__vantorctl_parameters | string replace -r '\$' =)"
for sub in show apply save remove export
    complete -c vantorctl -n "__vantorctl_at profile $sub" -a "(__vantorctl_profiles)"
end
complete -c vantorctl -n "__vantorctl_at profile import; or __vantorctl_at profile export (__vantorctl_words)[3]" -F
complete -c vantorctl -n "__vantorctl_at flash" -F
complete -c vantorctl -n "__vantorctl_at profile apply (__vantorctl_words)[3]" -l repaired -d "send a damaged profile as shown"
complete -c vantorctl -n "string match -q 'profile save*' (__vantorctl_words | string join ' ')" -l process -x -d "the game's executable"
complete -c vantorctl -n "string match -q 'profile import*' (__vantorctl_words | string join ' ')" -l replace -d "replace the profiles of the same names"
complete -c vantorctl -n "string match -q flash (__vantorctl_words)[1]" -l avrdude -r -d "the avrdude to run"
complete -c vantorctl -n "string match -q flash (__vantorctl_words)[1]" -l avrdude-conf -r -d "its configuration"
