#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (as root), only what is missing.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt_updated=0
fi
for p in cmake g++ clang libclang-rt-14-dev googletest mingw-w64 wine wine64 wine32:i386 xvfb xauth imagemagick liblnk-utils python3; do
    have "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ] || [ "${apt_updated:-1}" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    [ ${#need[@]} -gt 0 ] && apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
exit 0
