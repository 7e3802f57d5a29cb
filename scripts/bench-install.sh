#!/usr/bin/env bash
# Measures a real installation by setup.exe under Wine: the time from Next on
# the Ready page to the Finished page, against the floor that the 10 ms timer
# sets (one step per tick). Usage: scripts/bench-install.sh [BUILD_DIR] [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
build=${1:-}
if [ -z "$build" ]; then  # the build the tests would run on this machine
    kvr_choose_test_arch
    build=$(kvr_build_dir "$KVR_ARCH")
fi
runs=${2:-3}
cmake --build "$build" --target kvr_install_e2e_tests -j2 >/dev/null
cd "$build"
export KVR_SETUP_EXE=$build/src/setup.exe
export KVR_FAKE_BROWSER=$build/tests/e2e/kvr_fake_browser.exe
"$root/scripts/wine-exec.sh" tests/e2e/install/kvr_install_e2e_tests.exe \
    --gtest_also_run_disabled_tests --gtest_filter='*BenchmarkInstallation' --gtest_repeat="$runs" 2>&1 |
    grep -E '^install:|FAILED' || true
