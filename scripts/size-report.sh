#!/usr/bin/env bash
# Where the bytes of a setup.exe go.
#   scripts/size-report.sh SETUP_EXE [LINK_MAP] [TOP]
# Prints the file size, the two package resources (RCDATA 135 and 139, read
# from the PE resource directory), the stub (the file without them), the
# sections, the other resources by type and, given the link map of the setup
# (the release build writes build/release/<tree>/src/setup.map), the libraries
# and the TOP (default 15) largest pieces the code and data come from.
set -euo pipefail
exe=$1
map=${2:-}
top=${3:-15}
[ -f "$exe" ] || { echo "size-report: no file $exe" >&2; exit 2; }
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
arch=$(kvr_pe_arch "$exe")
[ -n "$arch" ] || { echo "size-report: $exe is not a Windows program" >&2; exit 2; }
objdump=$arch-w64-mingw32-objdump
label_prefix=_  # C names carry an underscore on i686
[ "$arch" = i686 ] || label_prefix=

# mawk has no strtonum.
hex='function hex(s,    i, v) { s = tolower(s); sub(/^0x/, "", s); v = 0
    for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return v }'

dump=$("$objdump" -p "$exe")
size=$(stat -c %s "$exe")

# The resource directory as objdump prints it, depth first: a type entry (3 spaces after the offset), its
# name entries (5), their language entries (7), each followed by its leaf.
resources=$(awk "$hex"'
    /^[0-9a-f]+ +Entry: / {
        match($0, /^[0-9a-f]+ +/)
        depth = RLENGTH - length($1)
        id = $0
        sub(/.*Entry: (ID|name): /, "", id)
        sub(/,.*/, "", id)
        if (depth == 3) type = id
        else if (depth == 5) name = id
    }
    /Leaf: Addr: / {
        leaf = $0
        sub(/.*Size: /, "", leaf)
        sub(/,.*/, "", leaf)
        print type, hex(name), hex(leaf)
    }' <<<"$(sed -n '/Resource Directory section/,$p' <<<"$dump")")
[ -n "$resources" ] || { echo "size-report: $exe has no resources" >&2; exit 1; }

package_size() {
    awk -v id="$1" '$1 == "0x00000a" && $2 == id { total += $3 } END { print total + 0 }' <<<"$resources"
}
p135=$(package_size 135)
p139=$(package_size 139)
[ "$p135" -gt 0 ] && [ "$p139" -gt 0 ] || { echo "size-report: $exe lacks RCDATA 135 or 139" >&2; exit 1; }
stub=$((size - p135 - p139))

line() { printf '  %-40s %10d  %8.1f KB\n' "$1" "$2" "$(awk -v b="$2" 'BEGIN { print b / 1024 }')"; }
echo "$exe"
line "file" "$size"
line "package, RCDATA 135" "$p135"
line "1.2.2 uninstaller, RCDATA 139" "$p139"
line "stub (file without 135 and 139)" "$stub"

echo "sections (raw size in the file)"
first=0
while read -r name raw offset; do
    line "$name" "$raw"
    [ "$first" -gt 0 ] || first=$offset
done < <("$objdump" -h "$exe" | awk "$hex"'$1 ~ /^[0-9]+$/ && $2 != ".bss" { print $2, hex($3), hex($6) }')
line "headers" "$first"

echo "resources other than 135 and 139, by type"
awk "$hex"'!($1 == "0x00000a" && ($2 == 135 || $2 == 139)) { total[$1] += $3; count[$1]++ }
    END {
        split("1 CURSOR 2 BITMAP 3 ICON 4 MENU 5 DIALOG 6 STRING 10 RCDATA 14 GROUP_ICON 16 VERSION 24 MANIFEST", n, " ")
        for (i = 1; i < 20; i += 2) label[n[i]] = n[i + 1]
        for (t in total) {
            id = hex(t)
            printf "%s %d %d\n", (id in label ? label[id] : t), count[t], total[t]
        }
    }' <<<"$resources" | sort -k3,3nr | while read -r type count bytes; do
    line "$type ($count)" "$bytes"
done

[ -n "$map" ] || exit 0
[ -f "$map" ] || { echo "size-report: no link map $map" >&2; exit 2; }

# Input sections of the link map that end up in the file: "name address size owner", the name on a line of
# its own when it is long. The owner is an archive member, an object, or the link-time optimised code.
pieces=$(awk "$hex"'
    /^Linker script and memory map/ { started = 1; next }
    !started { next }
    /^[.][^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+/ { output = $1; next }
    /^ [.][^ ]+$/ { pending = $1; next }
    {
        if ($0 ~ /^ [.][^ ]+ +0x[0-9a-f]+ +0x[0-9a-f]+ /) { name = $1; sz = $3; owner = $4 }
        else if (pending != "" && $0 ~ /^ +0x[0-9a-f]+ +0x[0-9a-f]+ /) { name = pending; sz = $2; owner = $3 }
        else { pending = ""; next }
        pending = ""
        if (output !~ /^[.](text|data|rdata|eh_frame|idata|CRT|tls|pdata|xdata)$/) next
        bytes = hex(sz)
        if (bytes == 0) next
        if (owner ~ /ltrans[0-9]*[.]ltrans[.]o$/) owner = "own-code-lto"
        else if (match(owner, /[^\/]+[.]a[(][^)]+[)]$/)) owner = substr(owner, RSTART, RLENGTH)
        else sub(/.*\//, "", owner)
        print output, name, bytes, owner
    }' "$map")

echo "code and data by library (from $map)"
awk '{ lib = $4; sub(/[(].*/, "", lib); total[lib] += $3 } END { for (l in total) print total[l], l }' <<<"$pieces" |
    sort -nr | awk -v n="$top" 'NR <= n' | while read -r bytes lib; do line "$lib" "$bytes"; done

echo "largest pieces"
awk '{ print $3, $1, $2, $4 }' <<<"$pieces" | sort -nr | awk -v n="$top" 'NR <= n' | while read -r bytes output name owner; do
    symbol=${name#*\$}
    case $symbol in _Z*) symbol=$("$arch-w64-mingw32-c++filt" "$label_prefix$symbol" | cut -c1-70) ;; esac
    printf '  %10d  %-9s %s  [%s]\n' "$bytes" "$output" "$symbol" "$owner"
done
