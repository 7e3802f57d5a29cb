#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (as root), only what is missing.
# 32-bit Wine (the i386 architecture and wine32:i386) only where this machine can execute
# 32-bit programs: elsewhere it cannot start, and the tests use 64-bit Wine.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
packages=(cmake g++ clang libclang-rt-dev googletest mingw-w64 wine wine64 xvfb xauth imagemagick liblnk-utils python3 nsis osslsigncode openssl)
if kvr_can_run_32bit; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        apt_updated=0
    fi
    packages+=(wine32:i386)
fi
for p in "${packages[@]}"; do
    have "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ] || [ "${apt_updated:-1}" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    [ ${#need[@]} -gt 0 ] && apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
exit 0
