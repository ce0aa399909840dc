#!/usr/bin/env bash
# cycle.sh CYCLE_TEST.exe
#
# The installer's cycle in two bare beds made for it: "cycle" goes through it, "cyclecontrol" only
# through the same restarts. Refused installs, an install whose driver file cannot be written,
# then install silently, restart, check, update while the right-button tool runs, update into
# another folder and into the same folder named other ways, restart; the uninstall program alone,
# restart, check; install, a removal whose uninstall program outlasts the uninstaller's wait,
# restart, check; install over the deletions of a removal not yet restarted, restart, check,
# remove, restart, check. Then the registry and the files of
# "cycle" must have changed only where those of "cyclecontrol" did too, but for the install log
# that stays for whoever supports the PC. What else differs is printed.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winebed=$here/../winebed
test_exe=$1
setup_exe=$("$winebed" programs)/TouchScreenSetup.exe
[ -f "$setup_exe" ] || { echo "cycle: no TouchScreenSetup.exe in $QR_BUILD (is makensis installed?)"; exit 1; }
snapshots=$QR_BUILD/cycle
rm -rf "$snapshots"
mkdir -p "$snapshots"

for bed in cycle cyclecontrol; do
    "$winebed" create "$bed" --bare >/dev/null
done
trap '"$winebed" destroy cycle; "$winebed" destroy cyclecontrol' EXIT
for bed in cycle cyclecontrol; do "$winebed" start "$bed"; done

windows_path() { "$winebed" exec cycle -- winepath -w "$1"; }

# step BED TEST [SNAPSHOT]: one test of the program, which must pass.
step() {
    local out
    out=$(QR_BED=$1 QR_SETUP_EXE=$(windows_path "$setup_exe") QR_SNAPSHOT=$(windows_path "${3:-/dev/null}") \
        QR_UNINS000_GATE_EXE=$(windows_path "$QR_BUILD/standins/unins000.exe") \
        "$here/../winerun" "$test_exe" --gtest_filter="Cycle.$2" 2>&1) || { echo "$out"; return 1; }
    echo "$out"
    grep -q '^\[  PASSED  \] 1 test\.' <<<"$out" || { echo "cycle: $2 did not pass as a whole"; return 1; }
}
restart_both() { "$winebed" restart cycle; "$winebed" restart cyclecontrol; }

for bed in cycle cyclecontrol; do step "$bed" Snapshot "$snapshots/$bed.before"; done
step cycle RefusesBeforeChangingAnything
step cycle ADriverFileThatCannotBeWrittenEndsBeforeSetup
step cycle InstallSilently
restart_both
step cycle AfterTheRestartTheSuiteRuns
step cycle UpdatesOverTheRunningToolAndIntoAnotherFolderReplaceEveryFile
restart_both
step cycle TheUninstallProgramAloneRemovesTheSuite
restart_both
step cycle AfterTheRestartNothingOfTheSuiteIsLeft
step cycle InstallSilently
restart_both
step cycle ARemovalThatOutlastsItsWaitIsFinishedByTheUninstallProgram
restart_both
step cycle AfterTheRestartNothingOfTheSuiteIsLeft
step cycle InstallOverARemovalNotYetRestarted
restart_both
step cycle AfterTheRestartTheSuiteRuns
step cycle RemoveFromAddOrRemovePrograms
restart_both
step cycle AfterTheRestartNothingOfTheSuiteIsLeft
step cycle TheInstallLogHasALineOfEachProgram
for bed in cycle cyclecontrol; do step "$bed" Snapshot "$snapshots/$bed.after"; done

# What changed in a bed: "added", "removed" or "changed", then the key and the value's name (or
# the file).
changes() {
    awk -F'\t' 'NR == FNR { before[$1 "\t" $2] = $3; next }
                { k = $1 "\t" $2; seen[k] = 1
                  if (!(k in before)) print "added\t" k; else if (before[k] != $3) print "changed\t" k }
                END { for (k in before) if (!(k in seen)) print "removed\t" k }' "$1" "$2" | LC_ALL=C sort
}
install_log=$(printf 'added\tfile\tC:\\windows\\TouchScreen.log')
changes "$snapshots/cycle.before" "$snapshots/cycle.after" | { grep -vFx "$install_log" || true; } >"$snapshots/cycle.changes"
changes "$snapshots/cyclecontrol.before" "$snapshots/cyclecontrol.after" >"$snapshots/cyclecontrol.changes"
LC_ALL=C comm -23 "$snapshots/cycle.changes" "$snapshots/cyclecontrol.changes" >"$snapshots/left"
if [ -s "$snapshots/left" ]; then
    echo "cycle: the machine is not as it was before the installation; beyond the control bed's changes:"
    cat "$snapshots/left"
    exit 1
fi
echo "cycle: the machine is as it was"
