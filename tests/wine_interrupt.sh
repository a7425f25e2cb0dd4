#!/usr/bin/env bash
# Ctrl+C, which Wine delivers to a console program as SIGINT, while the Windows program writes the
# second of two inputs: its temporary file goes, its old target stays, the first input stays
# converted, and the program ends with STATUS_CONTROL_C_EXIT (0xC000013A; Wine passes on its low
# byte, 58).
#   wine_interrupt.sh EMULATOR CLI.exe WORK_DIR DEMO.dsf DEMO_COMMA.txt
set -euo pipefail
emulator=$1 cli=$2 work=$3 demo=$4 expected=$5
rm -rf "$work"
mkdir -p "$work"
cd "$work"
cp "$demo" first.dsf
# 2000 variables of random values: a few hundred milliseconds of writing.
p=2000
{
    printf 'BIG%61s' ''
    printf '\x88\x13\x00\x00\xd0\x07\x00\x00' # 5000 cases, 2000 variables
    for ((i = 1; i <= p; i++)); do printf 'V%-7d' "$i"; done
    head -c $((8 * (p * (p + 1) / 2 + p))) /dev/urandom
} >second.dsf
printf old >second.txt

"$emulator" "$cli" --list-separator , --decimal-separator . first.dsf second.dsf \
    </dev/null >/dev/null 2>err.txt &
pid=$!
writing_second() { [ -f first.txt ] && compgen -G 'dsf2vemo-*.tmp' >/dev/null; }
for ((i = 0; i < 5000; i++)); do
    writing_second && break
    sleep 0.002
done
writing_second || { echo "the second input's temporary file never appeared"; exit 1; }
kill -INT "$pid"
status=0
wait "$pid" || status=$?

failed=0
[ "$status" -eq 58 ] || { echo "exit status $status, expected 58: $(cat err.txt)"; failed=1; }
if compgen -G 'dsf2vemo-*.tmp' >/dev/null; then
    echo "left behind: $(compgen -G 'dsf2vemo-*.tmp')"
    failed=1
fi
[ "$(cat second.txt)" = old ] || { echo "second.txt was changed"; failed=1; }
cmp -s first.txt "$expected" || { echo "first.txt is not the converted first input"; failed=1; }
exit "$failed"
