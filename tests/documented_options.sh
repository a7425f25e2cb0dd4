#!/usr/bin/env bash
# --help fits 80 columns, and the options it lists are the options the manual page describes and the shell completions
# offer: none added to one and forgotten in another.
# Usage: documented_options.sh CLI MANUAL_PAGE.scd BASH_COMPLETION ZSH_COMPLETION
set -euo pipefail
cli=$1 manual=$2 bash_completion=$3 zsh_completion=$4

options() { grep -oE -- '--?[a-z][a-z-]*' | sort -u | tr '\n' ' '; }

# The names column of --help: "  -o,--output PATH".
from_help=$("$cli" --help | grep -E '^  -' | sed -E 's/^  ([^ ]*).*/\1/' | options)
# The items of OPTIONS: "*-o*, *--output* _PATH_".
from_manual=$(grep -E '^\*-' "$manual" | sed -E 's/ _[A-Z]+_//g' | options)
from_bash=$(sed -n '/local options=(/,/)/p' "$bash_completion" | sed 's/local options=//' | options)
# The option strings of _arguments: "{-o+,--output=}", "'--format=[", "(- *)--version".
from_zsh=$(grep -oE "[{,')]--?[a-z][a-z-]*" "$zsh_completion" | cut -c2- | options)

status=0
# Every line of --help fits a terminal of 80 columns.
if "$cli" --help | awk 'length($0) > 80 { print "longer than 80 columns: " $0; bad = 1 } END { exit !bad }'; then
    status=1
fi
for source in manual bash zsh; do
    listed=from_$source
    if [ "${!listed}" != "$from_help" ]; then
        echo "the $source lists '${!listed}', but --help lists '$from_help'"
        status=1
    fi
done
[ "$status" -ne 0 ] || echo "--help, the manual page and both completions list: $from_help"
exit "$status"
