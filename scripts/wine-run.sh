#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix of the build, with Wine's own diagnostics
# off. The program's PE machine type picks the Wine: a 32-bit (i386) program runs with the 32-bit
# loader that scripts/setup-wine32.sh unpacked into build/wine32, in a 32-bit prefix of its own; an
# x86_64 program runs with the system's Wine. By default the prefix uses Wine's null graphics
# driver (no display needed); with KESTRUM_X_DISPLAY set, an x86_64 prefix draws on that X display
# instead. A prefix is made on first use; Wine's dialog font has no U+2103, so DejaVu Sans is
# linked in for the "℃" labels.
# KESTRUM_WINE_LOCALE (for example zh_CN.UTF-8) runs the program in that locale: Wine takes the
# ANSI code page and the user locale of each process from LC_ALL (zh_CN: code page 936, locale
# 0x804), needs no glibc locale for it and keeps nothing of it in the prefix, so one prefix serves
# every locale, also at the same time.
# --wine-of PROGRAM.exe COMMAND [ARGS...] runs a command of Wine's own (winedbg, for one) with the
# Wine and in the prefix that PROGRAM.exe runs in.
# --prefix-of PROGRAM.exe prints the prefix that PROGRAM.exe runs in, made when missing (a test
# puts a COM port's link into its dosdevices before the program starts).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage="usage: wine-run.sh PROGRAM.exe [ARGS...], wine-run.sh --wine-of PROGRAM.exe COMMAND [ARGS...]
or wine-run.sh --prefix-of PROGRAM.exe"
prefix_only=
if [ "${1:-}" = --prefix-of ]; then
    program=${2:?$usage}
    prefix_only=1
elif [ "${1:-}" = --wine-of ]; then
    program=${2:?$usage}
    shift 2
    [ $# -gt 0 ] || { echo "$usage" >&2; exit 2; }
else
    program=${1:?$usage}
fi

# The machine field of the PE header: 0x14c for i386, 0x8664 for x86_64.
pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$offset" ] && od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}

bits=64
[ -f "$program" ] && [ "$(pe_machine "$program")" = 014c ] && bits=32

if [ -n "${KESTRUM_X_DISPLAY:-}" ]; then
    [ $bits = 64 ] || { echo "wine-run.sh: the X display is for x86_64 programs only" >&2; exit 2; }
    export DISPLAY=$KESTRUM_X_DISPLAY
    graphics=x11
    default_prefix=$here/build/wineprefix-x11
else
    unset DISPLAY WAYLAND_DISPLAY
    graphics=null
    default_prefix=$here/build/wineprefix
fi

if [ $bits = 32 ]; then
    root=${KESTRUM_WINE32:-$here/build/wine32}/root
    [ -x "$root/usr/lib/wine/wine" ] || "$here/scripts/setup-wine32.sh"
    wine=$root/usr/lib/wine/wine
    default_prefix=$here/build/wineprefix32
    # The unpacked i386 libraries; libc comes from the system's /lib/ld-linux.so.2.
    export LD_LIBRARY_PATH=$root/usr/lib/i386-linux-gnu:$root/lib/i386-linux-gnu
    export WINEARCH=win32
    unset WINELOADER WINESERVER
else
    wine=wine
fi
export WINEPREFIX=${KESTRUM_WINEPREFIX:-$default_prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$WINEPREFIX")"
# A program that crashes prints winedbg's register dump and backtrace to its standard error and
# ends with the exception's code (a status of 5 for an access violation). Wine's default debugger
# would show its crash dialog, which no one sees on the null driver, and hold the program until a
# caller's limit; with the dialog off it kills the program with status 0 about every other time.
# The minidump debugger prints the same and lets the program end by itself (its dump, about
# 130 KB, stays in C:\windows). The marker's number counts the changes to this set-up, so an older
# prefix gets the newer settings once.
(
    flock 9
    if [ ! -f "$WINEPREFIX/.kestrum-ready-2" ]; then
        "$wine" wineboot -i >/dev/null 2>&1 || true
        "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$graphics" /f >/dev/null 2>&1
        "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v Tahoma /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans' /f >/dev/null 2>&1
        "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Debugger /d 'winedbg --minidump %ld %ld' /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.kestrum-ready-2"
    fi
) 9>"$WINEPREFIX.lock"
if [ -n "$prefix_only" ]; then
    echo "$WINEPREFIX"
    exit 0
fi
# The server and Wine's own processes (services, explorer ...) stay for a while after a program
# ends, so a run of many programs starts them once; that matters most for the emulated 32-bit
# Wine. A server that already runs for the prefix is left as it is (wineserver then exits with 2).
# Wine's own processes keep the standard handles of the program that started them, so on a fresh
# server a silent Wine program starts them first: otherwise a caller that reads the program's
# output to its end, as ctest does, would wait until they linger out. The prefix's lock keeps a
# second program from starting before the silent one has brought them up; the processes started
# under it must not inherit the lock, or it would be held until they end.
(
    flock 9
    if wineserver -p"${KESTRUM_WINE_LINGER:-20}" </dev/null >/dev/null 2>&1 9>&-; then
        "$wine" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$WINEPREFIX.lock"
[ -z "${KESTRUM_WINE_LOCALE:-}" ] || export LC_ALL="$KESTRUM_WINE_LOCALE"
exec "$wine" "$@"
