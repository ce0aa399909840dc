#!/usr/bin/env bash
# setup_flow.sh E2E_SETUP_FLOW.exe E2E_UNINSTALL_FLOW.exe
#
# Setup, then the uninstaller, end to end in a bed of their own, made without the touch driver's
# service: setup's first runs that cannot register the driver, its first run, then "Windows
# restarted" and a second run, then a restart and the runs whose copy aside cannot be written;
# then, with the driver that setup registered running, the uninstaller's stops, its removal, a
# restart and what the restart finds. Each step must pass as a whole: a restart request that
# ended the test program would otherwise look like a pass.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winebed=$here/../winebed
setup_exe=$1
uninstall_exe=$2
bed=setup

"$winebed" create "$bed" --no-service >/dev/null
trap '"$winebed" destroy "$bed"' EXIT
"$winebed" start "$bed"

# step EXE FILTER TESTS: the tests of FILTER, which must be TESTS in number and all pass.
step() {
    local out
    out=$(QR_BED=$bed "$here/../winerun" "$1" --gtest_filter="$2" 2>&1) || { echo "$out"; return 1; }
    echo "$out"
    grep -q "^\[  PASSED  \] $3 tests\?\." <<<"$out" || { echo "setup_flow: $2 did not pass as a whole"; return 1; }
}

step "$setup_exe" 'SetupFlow.FailedFirstRuns*' 1
step "$setup_exe" 'SetupFlow.FirstRun*' 1
"$winebed" restart "$bed"
step "$setup_exe" 'SetupFlow.AfterTheRestart*' 1
"$winebed" restart "$bed"
step "$setup_exe" 'SetupFlow.ACopyAside*' 1
step "$uninstall_exe" 'Removal.*-Removal.Yes*' 2
step "$uninstall_exe" 'Removal.Yes*' 1
"$winebed" restart "$bed"
step "$uninstall_exe" 'AfterTheRemoval.*' 1
echo "setup_flow: all steps passed"
