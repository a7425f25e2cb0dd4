# bash completion for dsf2vemo-cli: the options, the --format values, and data system files
# (or any file after -o) as the arguments.

_dsf2vemo_cli() {
    local IFS=$'\n'
    local word=${COMP_WORDS[COMP_CWORD]} option=
    ((COMP_CWORD > 0)) && option=${COMP_WORDS[COMP_CWORD - 1]}
    # bash splits --format=json into "--format", "=" and "json".
    if [[ $option == = ]] && ((COMP_CWORD > 1)); then
        option=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $word == = ]]; then
        option=${COMP_WORDS[COMP_CWORD - 1]}
        word=
    fi
    COMPREPLY=()
    case $option in
        --format)
            COMPREPLY=($(compgen -W $'vemo\njson\nmplus' -- "$word"))
            return
            ;;
        -o | --output)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$word"))
            return
            ;;
        --list-separator | --decimal-separator)
            # Free text: nothing to offer.
            return
            ;;
    esac
    if [[ $word == -* ]]; then
        local options=(-o --output --format --list-separator --decimal-separator --echo --check
            --quiet --version -h --help)
        COMPREPLY=($(compgen -W "${options[*]}" -- "$word"))
        return
    fi
    # Folders to go into, and the data system files in them, whatever the case of .dsf.
    compopt -o filenames 2>/dev/null
    COMPREPLY=($(compgen -d -- "$word") $(compgen -f -X '!*.[dD][sS][fF]' -- "$word"))
}
complete -F _dsf2vemo_cli dsf2vemo-cli
