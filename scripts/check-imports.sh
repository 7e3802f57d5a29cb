#!/usr/bin/env bash
# Checks that a Windows program is a PE of the given architecture and imports
# only DLLs that Windows always takes from its system folder (KnownDLLs), so
# that nothing beside the program is loaded before its entry point; the rest is
# linked in statically or loaded at run time by full path.
#   scripts/check-imports.sh i686|x86_64 PROGRAM [DLL...]
# DLLs named after the program are allowed too (the package's own, beside it).
set -euo pipefail
arch=$1
program=$2
shift 2
own=" $(tr 'A-Z' 'a-z' <<<"$*") "
case $arch in
i686) format=pei-i386 ;;
x86_64) format=pei-x86-64 ;;
*) echo "check-imports: unknown architecture '$arch'" >&2; exit 2 ;;
esac
dump=$("$arch-w64-mingw32-objdump" -p "$program")
if ! grep -q "file format $format\$" <<<"$dump"; then
    echo "check-imports: $program is not a $format program:" >&2
    grep 'file format' <<<"$dump" >&2 || true
    exit 1
fi
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort -u)
status=0
for dll in $imports; do
    case $dll in
    advapi32.dll | gdi32.dll | kernel32.dll | msvcrt.dll | ole32.dll | shell32.dll | user32.dll) ;;
    *) [[ $own == *" $dll "* ]] && continue
        echo "check-imports: $program imports $dll, which Windows may look up beside the program" >&2; status=1 ;;
    esac
done
[ "$status" = 0 ] && echo "check-imports: $program is $format and imports only" $imports
exit "$status"
