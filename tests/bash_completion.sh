#!/usr/bin/env bash
# The bash completion, row by row: the words typed so far, and what Tab offers for the last.
# Usage: bash_completion.sh COMPLETION WORK_DIR
set -uo pipefail
completion=$1 work=$2
rm -rf "$work" && mkdir -p "$work/sub folder" && cd "$work" || exit 1
touch a.dsf B.DSF "my study.dsf" notes.txt
# shellcheck source=/dev/null
source "$completion"
passed=0
failed=0

# row EXPECTED WORD...: completing the last WORD offers EXPECTED (sorted, "|" between).
row() {
    local expected=$1
    shift
    COMP_WORDS=(dsf2vemo-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _dsf2vemo_cli
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort | paste -sd '|')
    if [ "$offered" = "$expected" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: after '$*' offered '$offered', expected '$expected'"
    fi
}

row 'json|mplus|vemo' --format ''
row 'json' --format j
row 'json' --format = j
row 'json|mplus|vemo' --format =
row '--format' --f
row '--echo' --list-separator , --e
row '' --list-separator ''
# Arguments: folders and data system files, whatever the case of the extension.
row 'B.DSF|a.dsf|my study.dsf|sub folder' ''
row 'my study.dsf' my
# The output: any file.
row 'B.DSF|a.dsf|my study.dsf|notes.txt|sub folder' -o ''
row '--check|--decimal-separator|--echo|--format|--help|--list-separator|--output|--quiet|--version|-h|-o' a.dsf -

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
