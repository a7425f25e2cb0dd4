#!/usr/bin/env bash
# The command line converter's inputs the Unix way, each row a shell command run on the real
# program: pipes, process substitutions and named pipes are read like files, and only as far as
# the counts need; devices, terminals, folders and a closed standard input are refused in words.
# Usage: cli_unix_inputs.sh CLI DEMO.dsf EXPECTED.txt WORK_DIR
set -uo pipefail
export CLI=$1 DEMO=$2 EXPECTED=$3 WORK=$4 LC_ALL=C
rm -rf "$WORK" && mkdir -p "$WORK"
passed=0
failed=0

# row NAME STATUS STDERR COMMAND: COMMAND must exit with STATUS. With STDERR empty its standard
# output must be the expected text data file and its standard error empty; otherwise its standard
# error must be exactly STDERR, one line, and its standard output empty.
row() {
    local name=$1 status=$2 message=$3 command=$4
    local out=$WORK/$name.out err=$WORK/$name.err problem=
    timeout 20 bash -c "$command" >"$out" 2>"$err"
    local actual=$?
    if [ "$actual" -ne "$status" ]; then
        problem="exit status $actual, expected $status"
    elif [ -z "$message" ] && ! cmp -s "$out" "$EXPECTED"; then
        problem="standard output is not the expected text data file"
    elif [ -z "$message" ] && [ -s "$err" ]; then
        problem="unexpected standard error"
    elif [ -n "$message" ] && [ "$(cat "$err")" != "$message" ]; then
        problem="standard error differs: expected '$message'"
    elif [ -n "$message" ] && [ -s "$out" ]; then
        problem="unexpected standard output"
    fi
    if [ -n "$problem" ]; then
        failed=$((failed + 1))
        echo "FAILED $name: $problem"
        echo "  command: $command"
        sed 's/^/  stderr: /' "$err"
    else
        passed=$((passed + 1))
        echo "ok $name"
    fi
}

row pipe 0 '' 'cat "$DEMO" | "$CLI" - -o -'
row redirection 0 '' '"$CLI" - -o - < "$DEMO"'
row process_substitution 0 '' '"$CLI" <(cat "$DEMO") -o -'
row named_pipe 0 '' 'mkfifo "$WORK/fifo.dsf" && { cat "$DEMO" > "$WORK/fifo.dsf" & } &&
    "$CLI" "$WORK/fifo.dsf" -o -'
# Bytes that never end after the means: read only as far as the counts need, and done.
row endless_pipe 0 '' '"$CLI" - -o - < <(cat "$DEMO" /dev/zero)'
# A file far longer than its counts need (sparse, 1 TiB): read only as far as they need, too.
if cp "$DEMO" "$WORK/long.dsf" && truncate -s 1T "$WORK/long.dsf" 2>/dev/null; then
    row long_file 0 '' '"$CLI" "$WORK/long.dsf" -o -'
else
    echo "skipped long_file: the file system holds no sparse file of 1 TiB"
fi
row device_path 1 "dsf2vemo-cli: error: cannot read '/dev/zero': it is a device, not a data \
system file" '"$CLI" /dev/zero -o -'
# A block device (a disk) too: one is made here, which needs root; /dev's may not be readable.
if mknod "$WORK/disk" b 7 0 2>/dev/null && { : <"$WORK/disk"; } 2>/dev/null; then
    row block_device_path 1 "dsf2vemo-cli: error: cannot read '$WORK/disk': it is a device, not a \
data system file" '"$CLI" "$WORK/disk" -o -'
    row block_device_as_standard_input 1 "dsf2vemo-cli: error: cannot read '-': standard input \
is a device, not a data system file" '"$CLI" - -o - < "$WORK/disk"'
else
    echo "skipped block_device_path, block_device_as_standard_input: no block device can be made"
fi
row null_as_standard_input 1 "dsf2vemo-cli: error: cannot read '-': standard input is a device, \
not a data system file" '"$CLI" - -o - < /dev/null'
row folder_as_standard_input 1 "dsf2vemo-cli: error: cannot read '-': standard input is a \
folder, not a file" '"$CLI" - -o - < "$WORK"'
row closed_standard_input 1 "dsf2vemo-cli: error: cannot read '-': standard input is closed" \
    '"$CLI" - -o - <&-'
# A terminal: script gives the program one, and its standard error goes to a file.
row terminal 1 "dsf2vemo-cli: error: cannot read '-': standard input is a terminal, not a data \
system file; pipe one in or redirect it with <" \
    'script -qec "\"$CLI\" - -o - 2>\"$WORK/tty.err\"" /dev/null </dev/null >/dev/null
    status=$?; cat "$WORK/tty.err" >&2; exit $status'
# The file standard input reads is not written over, and keeps its bytes.
row output_is_the_redirected_input 1 "dsf2vemo-cli: error: cannot write '$WORK/same.dsf': it is \
the input file itself, and writing it would destroy the input" \
    'cp "$DEMO" "$WORK/same.dsf" && "$CLI" - -o "$WORK/same.dsf" < "$WORK/same.dsf"
    status=$?; cmp -s "$DEMO" "$WORK/same.dsf" || exit 99; exit $status'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
