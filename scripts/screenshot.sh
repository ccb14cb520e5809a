#!/usr/bin/env bash
# Draws the page as the GUI host shows it, on a virtual X display, after the first refresh of
# transmitter 0, and saves the host's window as docs/page.png (the README's picture).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" xvfb imagemagick x11-utils
cmake --preset x64 -S "$here" >/dev/null
cmake --build "$here/build/x64" --target kestrum-host Kestrum >/dev/null

export KESTRUM_X_DISPLAY=:${KESTRUM_DISPLAY_NUMBER:-47}
Xvfb "$KESTRUM_X_DISPLAY" -screen 0 1280x960x24 >/dev/null 2>&1 &
xvfb=$!
trap 'WINEPREFIX=$here/build/wineprefix-x11 wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$KESTRUM_X_DISPLAY
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done

cd "$here/build/x64/bin"
"$here/scripts/wine-run.sh" ./kestrum-host.exe >/dev/null 2>&1 &
window=""
for _ in $(seq 600); do
    # The title names the selected device after "Kestrum host - ".
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Kestrum host/ {print $1; exit}') || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the host's window did not appear" >&2; exit 1; }
# The first refresh runs on the realistic wire: three exchanges, then the tail's pause.
sleep 6
mkdir -p "$here/docs"
timeout 30 import -window "$window" "$here/docs/page.png"
echo "wrote docs/page.png"
