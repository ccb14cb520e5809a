#!/usr/bin/env bash
# Draws the page as the GUI host shows it, on a virtual X display, after the first refresh of
# transmitter 0, and saves the host's window as docs/page.png (the README's picture).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$here/scripts/setup.sh" xvfb imagemagick x11-utils fonts-dejavu-core
cmake --preset x64 -S "$here" >/dev/null
cmake --build "$here/build/x64" --target kestrum-host Kestrum >/dev/null

# A prefix of its own: the tests' prefix uses the null graphics driver, this one draws on X.
export WINEPREFIX=$here/build/wineprefix-x11
export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export DISPLAY=:${KESTRUM_DISPLAY_NUMBER:-47}
Xvfb "$DISPLAY" -screen 0 1280x960x24 >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
if [ ! -f "$WINEPREFIX/.kestrum-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    # Wine's dialog font has no U+2103; let it fall back to DejaVu Sans for the "℃" labels.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v Tahoma /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.kestrum-ready"
fi

cd "$here/build/x64/bin"
wine ./kestrum-host.exe >/dev/null 2>&1 &
window=""
for _ in $(seq 300); do
    window=$(xwininfo -name "Kestrum host" 2>/dev/null | awk '/Window id:/ {print $4}') || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the host's window did not appear" >&2; exit 1; }
# The first refresh runs on the realistic wire: three exchanges, then the tail's pause.
sleep 6
mkdir -p "$here/docs"
timeout 30 import -window "$window" "$here/docs/page.png"
echo "wrote docs/page.png"
