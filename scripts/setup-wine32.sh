#!/usr/bin/env bash
# Makes a 32-bit Wine for the i686 build without installing wine32 through apt (apt refuses it on
# Debian 12 when an i386 package index fails to download and some amd64 libraries are newer than
# their i386 twins). The i386 packages of exactly the installed wine64 version, and the few i386
# libraries a headless Wine needs, are downloaded and unpacked with `dpkg -x` into a private tree
# that dpkg knows nothing of: build/wine32/root. scripts/wine-run.sh starts 32-bit programs with
# the loader of that tree.
#
# Where the kernel cannot execute 32-bit programs itself (some virtual machines have no 32-bit
# mode), i386 ELF programs are handed to qemu-i386-static through binfmt_misc, so that the loader
# and every process it spawns run emulated.
#
# Idempotent: a finished step is skipped. Never upgrades, downgrades, removes or forces a package.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
w32=${KESTRUM_WINE32:-$here/build/wine32}
root=$w32/root
debs=$w32/debs
# FreeType and fontconfig for text metrics, udev and libusb for the bus services Wine starts.
extra_packages="libfreetype6 libfontconfig1 libpng16-16 libbrotli1 zlib1g libexpat1 libudev1 libusb-1.0-0"

log() { echo "[setup-wine32] $*" >&2; }
die() {
    echo "[setup-wine32] error: $*" >&2
    exit 1
}

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
wine_version=$(dpkg-query -W -f='${Version}' wine64 2>/dev/null) || die "wine64 is not installed (scripts/setup.sh installs it)"
[ -e /lib/ld-linux.so.2 ] || die "/lib/ld-linux.so.2 is missing (package libc6-i386)"

# --- 32-bit programs: natively, or through qemu-i386 --------------------------------------------
# qemu 7.2 of Debian 12 needs about a CPU minute to start one 32-bit Wine process (Wine reserves
# its address space in many small mappings); the qemu of bookworm-backports takes well under a
# second. Its static qemu-i386 is unpacked beside the 32-bit Wine, not installed.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    qemu=$w32/qemu/usr/bin/qemu-i386
    if [ ! -x "$qemu" ]; then
        log "this kernel does not run 32-bit programs; unpacking qemu-i386 from bookworm-backports"
        sources=/etc/apt/sources.list.d/kestrum-backports.sources
        # Backports are pinned below the release, so nothing installed is ever upgraded.
        [ -f $sources ] || printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' \
            'Suites: bookworm-backports' 'Components: main' \
            'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' | $SUDO tee $sources >/dev/null
        mkdir -p "$w32/qemu.deb"
        download() { (cd "$w32/qemu.deb" && apt-get download -qq -o APT::Sandbox::User=root qemu-user/bookworm-backports); }
        if ! download 2>/dev/null; then
            $SUDO apt-get update -qq || log "apt-get update reported errors; going on"
            download
        fi
        dpkg -x "$w32"/qemu.deb/qemu-user_*.deb "$w32/qemu"
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e $binfmt/register ] || $SUDO mount -t binfmt_misc binfmt_misc $binfmt
    [ ! -e $binfmt/kestrum-i386 ] || echo -1 | $SUDO tee $binfmt/kestrum-i386 >/dev/null
    # ELF, 32-bit, little-endian, executable or shared object, machine 3 (i386). 'F' opens the
    # emulator now, so it is found from any mount namespace.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":kestrum-i386:M::$magic:$mask:$qemu:F" | $SUDO tee $binfmt/register >/dev/null
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 || die "32-bit programs still do not run"
fi

if [ "$(cat "$root/.complete" 2>/dev/null)" = "$wine_version" ]; then
    exit 0
fi

# --- the i386 packages, downloaded but not installed -------------------------------------------
if ! apt-cache show "wine32:i386=$wine_version" >/dev/null 2>&1; then
    dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
    log "apt-get update (an i386 index that fails to download is tolerated)"
    $SUDO apt-get update -qq || log "apt-get update reported errors; going on"
fi
apt-cache show "wine32:i386=$wine_version" >/dev/null 2>&1 ||
    die "wine32:i386 $wine_version (the installed wine64's version) is not offered by the mirror"
mkdir -p "$debs"
cd "$debs"
wanted="wine32:i386=$wine_version libwine:i386=$wine_version libz-mingw-w64"
for p in $extra_packages; do wanted="$wanted $p:i386"; done
log "apt-get download $wanted"
apt-get download -qq -o APT::Sandbox::User=root $wanted

# --- the private tree ------------------------------------------------------------------------------
rm -rf "$root.tmp"
mkdir -p "$root.tmp"
for deb in ./*.deb; do dpkg -x "$deb" "$root.tmp"; done
# What libwine's install script does: user32 imports zlib1.dll, which must be marked as a Wine
# builtin DLL (a 32-byte signature after the DOS header) to be loaded from Wine's own folder.
zlib=$root.tmp/usr/i686-w64-mingw32/lib/zlib1.dll
{
    head -c 64 "$zlib"
    printf 'Wine builtin DLL'
    head -c 16 /dev/zero
    tail -c +97 "$zlib"
} >"$root.tmp/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
echo "$wine_version" >"$root.tmp/.complete"
rm -rf "$root"
mv "$root.tmp" "$root"
log "32-bit Wine $wine_version unpacked into $root"
