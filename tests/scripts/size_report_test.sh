#!/usr/bin/env bash
# Tests of scripts/size-report.sh on the setup of this build: the package
# resources it reads from the PE resource directory are the package files
# themselves, the stub is the rest, and a program without them is refused.
#   size_report_test.sh SETUP_EXE PACKAGE_135 PACKAGE_139 OTHER_PROGRAM
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
setup=$1 package135=$2 package139=$3 other=$4
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# figure REPORT LABEL: the byte count of the report line that starts with LABEL.
figure() { awk -v label="$2" 'index($0, "  " label) == 1 { print $(NF - 2) }' <<<"$1"; }

report=$("$root/scripts/size-report.sh" "$setup") || fail "the report of $setup failed: $report"
size=$(stat -c %s "$setup")
while IFS='|' read -r label expected; do
    got=$(figure "$report" "$label")
    [ "$got" = "$expected" ] || fail "$label: $got, not $expected"
done <<EOT
file|$size
package, RCDATA 135|$(stat -c %s "$package135")
1.2.2 uninstaller, RCDATA 139|$(stat -c %s "$package139")
stub (file without 135 and 139)|$((size - $(stat -c %s "$package135") - $(stat -c %s "$package139")))
EOT
grep -q '^  ICON (' <<<"$report" || fail "no icons among the other resources: $report"

status=0
output=$("$root/scripts/size-report.sh" "$other" 2>&1) || status=$?
[ "$status" = 1 ] || fail "a program without the packages: status $status, not 1"
[[ $output == *"lacks RCDATA 135 or 139"* ]] || fail "a program without the packages: '$output'"

[ "$failures" = 0 ] && echo "size-report: all checks passed"
exit $((failures > 0))
