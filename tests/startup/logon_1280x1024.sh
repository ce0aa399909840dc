#!/usr/bin/env bash
# logon_1280x1024.sh E2E_STARTUP_TEST.exe
#
# A logon on a 1280 x 1024 screen: the startup program's splash and screen-size tests in a bed
# of that size of its own, made, started and destroyed here, beside whatever bed runs the rest.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winebed=$here/../winebed
test_exe=$1
bed=ao1280

"$winebed" create "$bed" --size 1280x1024 >/dev/null
trap '"$winebed" destroy "$bed"' EXIT
"$winebed" start "$bed"
QR_BED=$bed QR_EXPECT_SCREEN=1280x1024 "$here/../winerun" "$test_exe" \
    --gtest_filter='Startup.ScreenSizeOfTheBedReachesTheDriver:Startup.LogonShowsTheSplash*'
