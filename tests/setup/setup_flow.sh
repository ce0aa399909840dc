#!/usr/bin/env bash
# setup_flow.sh E2E_SETUP_FLOW.exe
#
# Setup end to end in a bed of its own, made without the touch driver's service: the first run,
# then "Windows restarted" and a second run, then a restart and the runs whose copy aside cannot
# be written. Each step must pass as a whole: a restart request that ended the test program
# would otherwise look like a pass.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winebed=$here/../winebed
test_exe=$1
bed=setup

"$winebed" create "$bed" --no-service >/dev/null
trap '"$winebed" destroy "$bed"' EXIT
"$winebed" start "$bed"

step() {
    local out
    out=$(QR_BED=$bed "$here/../winerun" "$test_exe" --gtest_filter="SetupFlow.$1" 2>&1) || { echo "$out"; return 1; }
    echo "$out"
    grep -q '^\[  PASSED  \] 1 test\.' <<<"$out" || { echo "setup_flow: $1 did not pass as a whole"; return 1; }
}

step 'FirstRun*'
"$winebed" restart "$bed"
step 'AfterTheRestart*'
"$winebed" restart "$bed"
step 'ACopyAside*'
echo "setup_flow: all steps passed"
