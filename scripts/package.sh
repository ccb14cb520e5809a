#!/usr/bin/env bash
# Makes what a customer takes away, in dist/ (or the folder given with --out):
# - kestrum-source-VERSION.zip: the files the Visual Studio build of Kestrum.dll needs (the product
#   folders, the MSVC CMake files, presets for Visual Studio 2019 and 2022 and an example of the
#   user presets that name the host's import libraries) and a README for the integrator
#   (scripts/kits/source-README.md);
# VERSION is KESTRUM_VERSION_TEXT of res/version.h, the version the DLL's resource carries.
# - kestrum-workbench-VERSION-win32.zip: the 32-bit GUI and script host, the page, the MFC subset,
#   the stand-in DLLs and the demo script in one folder with a README
#   (scripts/kits/workbench-README.md).
# The workbench comes from the 32-bit build: by default this builds the x86 preset; --bin FOLDER
# takes the programs from a built folder instead. --source-only makes the source kit alone.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$root/dist
bin=
source_only=no
while [ $# -gt 0 ]; do
    case $1 in
    --out) out=$2; shift ;;
    --bin) bin=$2; shift ;;
    --source-only) source_only=yes ;;
    *)
        echo "usage: scripts/package.sh [--out FOLDER] [--bin FOLDER] [--source-only]" >&2
        exit 2
        ;;
    esac
    shift
done
version=$(sed -n 's/^#define KESTRUM_VERSION_TEXT "\(.*\)"$/\1/p' "$root/res/version.h")
[ -n "$version" ] || { echo "package.sh: no KESTRUM_VERSION_TEXT in res/version.h" >&2; exit 1; }
mkdir -p "$out"

# zip_files ARCHIVE FOLDER_IN_ARCHIVE, reading lines "SOURCE_PATH<TAB>PATH_IN_FOLDER" on standard
# input (python's zipfile, so that no zip program is needed).
zip_files() {
    python3 -c '
import sys, zipfile
archive, folder = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive + ".part", "w", zipfile.ZIP_DEFLATED) as z:
    for line in sys.stdin.read().splitlines():
        source, name = line.split("\t")
        z.write(source, f"{folder}/{name}")
' "$1" "$2"
    mv "$1.part" "$1"
}

# The source kit: the presets keep the Visual Studio ones only (the others need the mingw-w64
# toolchain files, which the kit does not carry).
kit=kestrum-source-$version
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$root/CMakePresets.json" "$work/CMakePresets.json" <<'PY'
import json, sys
presets = json.load(open(sys.argv[1], encoding="utf-8"))
for kind in ("configurePresets", "buildPresets"):
    presets[kind] = [p for p in presets[kind] if p["name"].startswith("msvc-")]
presets.pop("testPresets", None)
with open(sys.argv[2], "w", encoding="utf-8") as f:
    json.dump(presets, f, indent=2)
    f.write("\n")
PY
{
    printf '%s\t%s\n' "$root/scripts/kits/source-README.md" README.md
    printf '%s\t%s\n' "$work/CMakePresets.json" CMakePresets.json
    printf '%s\t%s\n' "$root/scripts/kits/CMakeUserPresets.json.example" CMakeUserPresets.json.example
    for file in CMakeLists.txt cmake/msvc-mfc.cmake; do
        printf '%s\t%s\n' "$root/$file" "$file"
    done
    (cd "$root" && git ls-files --cached --others --exclude-standard module page codetables res host 2>/dev/null ||
        find module page codetables res host -type f) | sort |
        while read -r file; do printf '%s\t%s\n' "$root/$file" "$file"; done
} | zip_files "$out/$kit.zip" "$kit"
echo "$out/$kit.zip"
[ $source_only = yes ] && exit 0

if [ -z "$bin" ]; then
    (cd "$root" && cmake --preset x86 >/dev/null &&
        cmake --build --preset x86 --target kestrum-host Kestrum >/dev/null)
    bin=$root/build/x86/bin
fi
bench=kestrum-workbench-$version-win32
{
    printf '%s\t%s\n' "$root/scripts/kits/workbench-README.md" README.md
    printf '%s\t%s\n' "$root/demo/tour.ksc" tour.ksc
    for file in kestrum-host.exe Kestrum.dll mfcsub.dll base.dll Device.dll hartSeComm.dll; do
        [ -f "$bin/$file" ] || { echo "package.sh: $bin/$file not built" >&2; exit 1; }
        printf '%s\t%s\n' "$bin/$file" "$file"
    done
} | zip_files "$out/$bench.zip" "$bench"
echo "$out/$bench.zip"
