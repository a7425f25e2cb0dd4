#!/usr/bin/env bash
# Checks that Windows executables import system DLLs only, so each runs as the one file shipped:
#   check_imports.sh OBJDUMP PROGRAM.exe...
# Prints each program's DLLs; fails on any DLL not on the list (libstdc++, libgcc, winpthread…).
set -euo pipefail
objdump=$1
shift
system_dlls=(advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll
    ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll ws2_32.dll)
allowed=" ${system_dlls[*]} "
failed=0
for program in "$@"; do
    dlls=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    if [ -z "$dlls" ]; then
        echo "$(basename "$program"): no imports found; not a Windows program?" >&2
        failed=1
        continue
    fi
    echo "$(basename "$program"): $(echo $dlls)"
    for dll in $dlls; do
        if [[ "$allowed" != *" $dll "* ]]; then
            echo "$(basename "$program") imports $dll, which Windows doesn't provide" >&2
            failed=1
        fi
    done
done
exit "$failed"
