# Which Windows build the Wine tiers run, and how Wine is called for it: the
# one place every script and test goes through (source it from bash).
#
#   kvr_can_run_32bit        succeeds when this machine executes 32-bit x86 Linux programs
#   kvr_choose_test_arch     sets KVR_ARCH to i686 or x86_64 (KVR_TEST_ARCH forces one);
#                            says so when the 64-bit build is chosen, fails at once when
#                            the 32-bit build is forced where it cannot run
#   kvr_use_wine ARCH        sets up Wine for ARCH: PATH, WINEARCH, and WINEPREFIX
#                            (KVR_WINEPREFIX, else build/wineprefix or build/wineprefix-x86_64)
#   kvr_check_wine ARCH      fails at once, saying what to install, when Wine for ARCH does not start
#   kvr_build_dir ARCH       the Windows build folder of ARCH
#   kvr_configure_windows ARCH  configures that build (quietly) and prints its folder
#   kvr_pe_arch FILE         i686 or x86_64 for a Windows program, nothing otherwise
#
# Some kernels have their 32-bit emulation switched off: every 32-bit program
# fails with "Exec format error", Debian's 32-bit Wine loader included, and
# Debian's /usr/bin/wine still picks that loader whenever its file exists. There
# the tests run the x86_64 build of the same sources under 64-bit Wine, which
# the wrappers in scripts/wine64/ call directly.

kvr_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Runs a 32-bit program: the 32-bit dynamic loader where it is installed, else a
# minimal static program (so the answer is known before any i386 package is).
kvr_can_run_32bit() {
    local loader=${KVR_I386_LOADER:-/lib/ld-linux.so.2}  # another one for the tests of this file
    if [ -e "$loader" ]; then
        "$loader" --version >/dev/null 2>&1
        return
    fi
    mkdir -p "$kvr_root/build"
    local probe
    probe=$(mktemp "$kvr_root/build/.i386-probe.XXXXXX") || return 1
    # ELF header, one loadable segment, and: mov eax,1; xor ebx,ebx; mov bl,42; int 0x80 (exit 42).
    local elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
    elf+='\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00'
    elf+='\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
    elf+='\x5f\x00\x00\x00\x5f\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    elf+='\xb8\x01\x00\x00\x00\x31\xdb\xb3\x2a\xcd\x80'
    printf "$elf" >"$probe"
    chmod +x "$probe"
    local status=0
    "$probe" >/dev/null 2>&1 || status=$?
    rm -f "$probe"
    [ "$status" = 42 ]
}

kvr_fail() {
    echo "$*" >&2
    exit 1
}

kvr_choose_test_arch() {
    case ${KVR_TEST_ARCH:-} in
    "")
        if kvr_can_run_32bit; then
            KVR_ARCH=i686
        else
            KVR_ARCH=x86_64
            echo "this machine cannot run 32-bit programs: testing the 64-bit build of the same sources"
        fi
        ;;
    i686)
        kvr_can_run_32bit ||
            kvr_fail "KVR_TEST_ARCH=i686: this machine cannot run 32-bit programs (a 32-bit program fails to" \
                "start, as where the kernel's 32-bit emulation is off), so 32-bit Wine cannot start here;" \
                "use KVR_TEST_ARCH=x86_64"
        KVR_ARCH=i686
        ;;
    x86_64)
        KVR_ARCH=x86_64
        echo "KVR_TEST_ARCH=x86_64: testing the 64-bit build of the same sources"
        ;;
    *) kvr_fail "KVR_TEST_ARCH must be i686 or x86_64, not '$KVR_TEST_ARCH'" ;;
    esac
    export KVR_ARCH
}

kvr_check_wine() {
    case $1 in
    i686) /usr/lib/wine/wine --version >/dev/null 2>&1 ||
        kvr_fail "32-bit Wine (/usr/lib/wine/wine, package wine32:i386) does not start: run" \
            "scripts/install-deps.sh as root, or use KVR_TEST_ARCH=x86_64" ;;
    x86_64) /usr/lib/wine/wine64 --version >/dev/null 2>&1 ||
        kvr_fail "64-bit Wine (/usr/lib/wine/wine64, package wine64) does not start: run" \
            "scripts/install-deps.sh as root" ;;
    esac
}

kvr_build_dir() {
    case $1 in
    i686) echo "$kvr_root/build/win" ;;
    x86_64) echo "$kvr_root/build/win64" ;;
    *) kvr_fail "unknown Windows architecture '$1'" ;;
    esac
}

kvr_configure_windows() {
    local build
    build=$(kvr_build_dir "$1")
    cmake -S "$kvr_root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$kvr_root/cmake/mingw-$1.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    echo "$build"
}

kvr_use_wine() {
    local arch=$1 prefix=$kvr_root/build/wineprefix
    case $arch in
    i686) ;;
    x86_64)
        prefix=$prefix-x86_64
        case ":$PATH:" in
        *":$kvr_root/scripts/wine64:"*) ;;
        *) PATH=$kvr_root/scripts/wine64:$PATH ;;
        esac
        export PATH WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
        ;;
    *) kvr_fail "unknown Windows architecture '$arch'" ;;
    esac
    export WINEPREFIX=${KVR_WINEPREFIX:-$prefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

kvr_pe_arch() {
    [ -f "$1" ] || return 0
    local header machine
    header=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ') || return 0
    [ -n "$header" ] || return 0
    machine=$(od -An -tx2 -j$((header + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
    case $machine in
    014c) echo i686 ;;
    8664) echo x86_64 ;;
    esac
}
