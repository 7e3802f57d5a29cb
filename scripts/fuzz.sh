#!/usr/bin/env bash
# Fuzzes the package archive reader (src/engine/portable/package_archive.cpp) with
# libFuzzer under ASan and UBSan.
#
#   scripts/fuzz.sh [SECONDS]      default 20 seconds
#
# Builds tests/fuzz/package_archive_fuzz.cpp with clang in build/fuzz, makes a
# seed corpus of archives written by the packer (kvr_pack, built there too),
# and runs the fuzzer for SECONDS. The corpus it grows (build/fuzz/corpus) is
# kept between runs. Exits non-zero when the fuzzer finds a crash, a bad read
# or a broken promise; the input that caused it is left in build/fuzz/artifacts/.
# Reproduce one with: build/fuzz/package_archive_fuzz build/fuzz/artifacts/crash-...
#
# A longer run, e.g. before a release or after changing the reader (an hour,
# on all cores, each job in its own process):
#   scripts/fuzz.sh 3600
#   or, by hand after one short run:
#   build/fuzz/package_archive_fuzz -jobs=$(nproc) -workers=$(nproc) -max_total_time=3600 \
#       -max_len=4096 -dict=build/fuzz/archive.dict build/fuzz/corpus build/fuzz/seeds
set -euo pipefail

seconds=${1:-20}
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: scripts/fuzz.sh [SECONDS]" >&2
    exit 2
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$root/build/fuzz
cxx=${CXX_FUZZ:-clang++}
mkdir -p "$out"

engine=("$root/src/engine/portable/package_archive.cpp" "$root/src/engine/portable/package_writer.cpp")
flags=(-std=c++17 -g -O1 -Wall -Wextra -fno-omit-frame-pointer -I"$root/src")
sanitizers=(-fsanitize=address,undefined -fno-sanitize-recover=all)

echo "fuzz.sh: building in $out"
"$cxx" "${flags[@]}" "${sanitizers[@]}" -fsanitize=fuzzer \
    "${engine[@]}" "$root/tests/fuzz/package_archive_fuzz.cpp" -o "$out/package_archive_fuzz"
"$cxx" "${flags[@]}" "${sanitizers[@]}" \
    "${engine[@]}" "$root/tools/packer/kvr_pack.cpp" -o "$out/kvr_pack"

# Seed corpus: small archives from the packer, plain and scrambled.
seeds=$out/seeds
inputs=$out/seed-inputs
rm -rf "$seeds" "$inputs"
mkdir -p "$seeds" "$inputs" "$out/corpus" "$out/artifacts"
printf 'MZ\x90\x00\x03' >"$inputs/exe"
printf '<html><body>Korvane</body></html>\n' >"$inputs/htm"
printf 'GIF89a\x01\x00\x01\x00' >"$inputs/gif"
: >"$inputs/empty"
head -c 300 /dev/zero | tr '\0' 'k' >"$inputs/long"

printf '' >"$inputs/none.lst"
printf 'a\texe\n' >"$inputs/one.lst"
printf '__cdca.lx\texe\nkvr.exe\texe\nManual\\index.htm\thtm\nManual\\pics\\p.gif\tgif\n' >"$inputs/tree.lst"
printf 'empty\tempty\nlong.bin\tlong\nz\tgif\n' >"$inputs/mixed.lst"

pack() {  # SEED-NAME KEY LIST
    "$out/kvr_pack" pack --check-folders --key "$2" "$seeds/$1" "$inputs/$3"
}
pack none-0 0 none.lst
pack one-0 0 one.lst
pack one-5 5 one.lst
pack tree-0 0 tree.lst
pack tree-255 255 tree.lst
pack mixed-0 0 mixed.lst
pack mixed-5 5 mixed.lst
"$out/kvr_pack" list "$seeds/tree-255" >/dev/null

# The magic and a few header words, to help the fuzzer build tables.
cat >"$out/archive.dict" <<'DICT'
magic="\x0F\x3B\x81\x91"
d13="\x0D\x00\x00\x00"
one="\x01\x00\x00\x00"
negative="\x00\x00\x00\x80"
dmax="\xFF\xFF\x0F\x00"
nmax="\xFF\xFF\x00\x00"
DICT

echo "fuzz.sh: fuzzing for $seconds s"
"$out/package_archive_fuzz" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -dict="$out/archive.dict" -artifact_prefix="$out/artifacts/" \
    "$out/corpus" "$seeds"
echo "fuzz.sh: no failure in $seconds s"
