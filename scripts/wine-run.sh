#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix of the build, with Wine's own diagnostics
# off. By default the prefix uses Wine's null graphics driver (no display needed); with
# KESTRUM_X_DISPLAY set, a second prefix draws on that X display instead. A prefix is made on first
# use; Wine's dialog font has no U+2103, so DejaVu Sans is linked in for the "℃" labels.
# KESTRUM_WINE_LOCALE (for example zh_CN.UTF-8) runs the program in that locale: Wine takes the
# ANSI code page and the user locale of each process from LC_ALL (zh_CN: code page 936, locale
# 0x804), needs no glibc locale for it and keeps nothing of it in the prefix, so one prefix serves
# every locale, also at the same time.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -n "${KESTRUM_X_DISPLAY:-}" ]; then
    export DISPLAY=$KESTRUM_X_DISPLAY
    graphics=x11
    default_prefix=$here/build/wineprefix-x11
else
    unset DISPLAY WAYLAND_DISPLAY
    graphics=null
    default_prefix=$here/build/wineprefix
fi
export WINEPREFIX=${KESTRUM_WINEPREFIX:-$default_prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/.kestrum-ready" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v Tahoma /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.kestrum-ready"
    fi
) 9>"$WINEPREFIX.lock"
if [ -n "${KESTRUM_WINE_LOCALE:-}" ]; then
    exec env LC_ALL="$KESTRUM_WINE_LOCALE" wine "$@"
fi
exec wine "$@"
