#!/usr/bin/env bash
# tour.sh QR_TOUR.exe [--open DISPLAY]
#
# The tour of the suite in a fresh bare bed (QR_TOUR_BED, default "tour"): the installer with the
# sample vendor files (QR_TOUR_INSTALLER) installs the suite through its wizard's pages, setup's
# message is answered with a click, the bed restarts and the logon runs the startup program. Then
# qr_tour walks every window through the touch simulator (QR_SIMULATOR_EXE) and the uninstaller,
# writing a picture of each into $QR_BUILD/tour/ and $QR_BUILD/tour/index.html with their
# captions; the bed is stopped at the end. With --open the bed runs on that X display instead and,
# once installed, is left there with the simulator and the control panel open for a person to use
# (the pictures of the wizard and of setup's message go to $QR_BUILD/demo/).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
winebed=$here/../winebed
tour_exe=$1
display=
[ "${2:-}" = --open ] && display=${3:?"--open needs a display"}
export QR_BUILD=${QR_BUILD:-$(realpath -m "$here/../../build")}
bed=${QR_TOUR_BED:-tour}
installer=${QR_TOUR_INSTALLER:-$QR_BUILD/tour-installer/TouchScreenSetup.exe}
simulator=${QR_SIMULATOR_EXE:-$("$winebed" programs)/QRTouchSim.exe}
out=$QR_BUILD/tour
[ -n "$display" ] && out=$QR_BUILD/demo
for f in "$installer" "$simulator"; do
    [ -f "$f" ] || { echo "tour: $f is missing (is the build complete, and makensis installed?)"; exit 1; }
done
command -v xdotool >/dev/null || { echo "tour: xdotool is missing (Debian package xdotool)"; exit 1; }

rm -rf "$out"
mkdir -p "$out"
"$winebed" create "$bed" --bare >/dev/null
if [ -n "$display" ]; then
    "$winebed" start "$bed" --on-display "$display"
else
    "$winebed" start "$bed"
    trap '"$winebed" stop "$bed"' EXIT
fi

windows_path() { "$winebed" exec "$bed" -- winepath -w "$1"; }
phase() {
    echo "tour: $1"
    QR_BED=$bed QR_TOUR=$(windows_path "$out") QR_SETUP_EXE=$(windows_path "$installer") \
        QR_SIMULATOR=$(windows_path "$simulator") QR_XDO=$(windows_path "$here/xdo") \
        "$here/../winerun" "$tour_exe" "$1"
}

phase install
"$winebed" restart "$bed"
if [ -n "$display" ]; then
    phase open
    exit 0
fi
phase use
phase remove

# The pictures in their order, each with its caption.
{
    echo '<!DOCTYPE html><html><head><meta charset="utf-8"><title>A tour of the TouchScreen suite</title>'
    echo '<style>body{font-family:sans-serif;max-width:1100px;margin:auto}figure{margin:2em 0}'
    echo 'img{border:1px solid #888;max-width:100%}figcaption{margin-top:.4em}</style></head><body>'
    echo '<h1>A tour of the TouchScreen suite</h1>'
    echo '<p>Installed by TouchScreenSetup.exe into a Wine bed reporting Windows XP, touched through the touch simulator.</p>'
    awk -F'\t' '{ gsub(/&/, "\\&amp;", $2); gsub(/</, "\\&lt;", $2); gsub(/>/, "\\&gt;", $2)
                  printf "<figure><img src=\"%s\" alt=\"\"><figcaption>%d. %s</figcaption></figure>\n", $1, NR, $2 }' \
        "$out/tour.txt"
    echo '</body></html>'
} >"$out/index.html"
echo "tour: every step passed; $(wc -l <"$out/tour.txt") pictures"
echo "tour: $out/index.html"
