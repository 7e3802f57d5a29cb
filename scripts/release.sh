#!/usr/bin/env bash
# Builds the shipping files into build/release/out:
#   setup.exe                          32-bit, optimised for size, stripped, no time stamp
#   setup.exe.sha256                   in sha256sum format
#   Ostrevik.Korvane.installer.yaml    the winget installer manifest, from packaging/winget/
# setup.exe is built twice, from scratch, in two build folders of different names; the script fails unless
# both are the same bytes. Then it prints where the bytes go (scripts/size-report.sh).
# KVR_INSTALLER_URL: the download address written into the manifest.
# KVR_SIGN_PFX, KVR_SIGN_PASSWORD: a certificate (PKCS#12) and its password. Given them, the programs of the
# package are signed before they are packed, and then setup.exe; the signing time is the commit's, so the
# two builds still agree. KVR_SIGN_CAFILE: the certificates that the signatures are verified against
# (default: the system's). Without a certificate the release is unsigned and says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${KVR_JOBS:-2}
release=$root/build/release
out=$release/out
trees=(one tree-two)
url=${KVR_INSTALLER_URL:-https://downloads.example.invalid/korvane/setup.exe}

commit=$(git rev-parse HEAD 2>/dev/null || echo unknown)
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "release: the working tree has changes that are not committed: this is not the build of $commit" >&2
fi

sign=OFF
if [ -n "${KVR_SIGN_PFX:-}" ]; then
    [ -f "$KVR_SIGN_PFX" ] || { echo "release: no certificate file $KVR_SIGN_PFX (KVR_SIGN_PFX)" >&2; exit 1; }
    command -v osslsigncode >/dev/null || { echo "release: osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 1; }
    KVR_SIGN_TIME=${KVR_SIGN_TIME:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
    export KVR_SIGN_PFX KVR_SIGN_PASSWORD KVR_SIGN_TIME
    sign=ON
fi

# Fails unless the file carries a signature that verifies.
verify_signature() {
    local ca=()
    [ -z "${KVR_SIGN_CAFILE:-}" ] || ca=(-CAfile "$KVR_SIGN_CAFILE")
    if ! osslsigncode verify "${ca[@]}" -in "$1" >"$release/verify.log" 2>&1; then
        cat "$release/verify.log" >&2
        echo "release: the signature of $1 does not verify" >&2
        exit 1
    fi
}

for tree in "${trees[@]}"; do
    echo "== release build in build/release/$tree"
    rm -rf "${release:?}/$tree"
    cmake -S "$root" -B "$release/$tree" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686-release.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DKVR_RELEASE=ON -DKVR_SIGN=$sign >/dev/null
    log=$release/$tree.log
    if ! cmake --build "$release/$tree" --target setup -j"$jobs" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "release: the build in build/release/$tree failed (all of it in $log)" >&2
        exit 1
    fi
    if grep -q 'warning:' "$log"; then
        grep 'warning:' "$log" | sort -u >&2
        echo "release: the build in build/release/$tree has warnings (see $log)" >&2
        exit 1
    fi
done

first=$release/${trees[0]}
second=$release/${trees[1]}
if ! cmp -s "$first/src/setup.exe" "$second/src/setup.exe"; then
    echo "release: setup.exe is not reproducible: the two builds differ" >&2
    for file in payload/package135.bin payload/package139.bin payload/bin/*.exe payload/bin/*.dll; do
        cmp -s "$first/$file" "$second/$file" || echo "  and so do their $file" >&2
    done
    exit 1
fi
setup=$first/src/setup.exe
echo "== both builds are the same $(stat -c %s "$setup") bytes"

scripts/check-imports.sh i686 "$setup"
for program in "$first"/payload/bin/*.exe; do
    scripts/check-imports.sh i686 "$program" kvrcore.dll
done
# The COFF header's TimeDateStamp, 8 bytes after the PE signature.
pe_header=$(od -An -tu4 -j60 -N4 "$setup" | tr -d ' ')
if [ "$(od -An -tu4 -j$((pe_header + 8)) -N4 "$setup" | tr -d ' ')" != 0 ]; then
    echo "release: setup.exe carries a link time stamp" >&2
    exit 1
fi
if grep -q -a -F "$root" "$setup"; then
    echo "release: setup.exe holds a path of this machine ($root)" >&2
    exit 1
fi

rm -rf "$out" && mkdir -p "$out"
cp "$setup" "$out/setup.exe"
if [ "$sign" = ON ]; then
    cp "$second/src/setup.exe" "$release/setup-two.exe"
    scripts/sign-file.sh "$out/setup.exe"
    scripts/sign-file.sh "$release/setup-two.exe"
    cmp -s "$out/setup.exe" "$release/setup-two.exe" || { echo "release: the signed setup.exe is not reproducible" >&2; exit 1; }
    for program in "$out/setup.exe" "$first"/payload/bin/*.exe "$first"/payload/bin/*.dll; do
        verify_signature "$program"
    done
    echo "== setup.exe and the programs of its package are signed, and the signatures verify"
else
    echo "== no certificate given (KVR_SIGN_PFX): this release is unsigned"
fi
(cd "$out" && sha256sum setup.exe >setup.exe.sha256)
sha256=$(cut -d' ' -f1 "$out/setup.exe.sha256" | tr 'a-f' 'A-F')
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$first/CMakeCache.txt")
sed -e "s|@KVR_VERSION@|$version|g" -e "s|@KVR_SETUP_SHA256@|$sha256|g" -e "s|@KVR_INSTALLER_URL@|$url|g" \
    packaging/winget/Ostrevik.Korvane.installer.yaml.in >"$out/Ostrevik.Korvane.installer.yaml"
if grep -q '@KVR_[A-Z0-9_]*@' "$out/Ostrevik.Korvane.installer.yaml"; then
    echo "release: the manifest template names a value this script does not fill in" >&2
    exit 1
fi

scripts/size-report.sh "$setup" "$first/src/setup.map"
echo "== the payload programs (carried in RCDATA 135 and 139)"
for program in "$first"/payload/bin/*.exe "$first"/payload/bin/*.dll; do
    printf '  %-24s %8d\n' "${program##*/}" "$(stat -c %s "$program")"
done
[ "$sign" = ON ] || echo "== the release is unsigned"
echo "== shipping files of $commit (version $version) in $out"
ls -l "$out"
